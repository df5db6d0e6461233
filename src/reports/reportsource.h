#pragma once

#include <QString>

namespace mizro::reports {

/// The data a report is built from: a master data set that the report steps
/// through, a sub-detail data set the program re-reads for each master row,
/// and memos the program sets. Texts are display texts.
class ReportSource {
public:
    virtual ~ReportSource() = default;
    /// Called once, before the pages are built.
    virtual void beforePrint() {}
    virtual int masterCount() const = 0;
    /// The master data set moves to a row, before that row's bands are
    /// built: the sub-detail is read again and memos are set here. May throw.
    virtual void masterMoved(int row) = 0;
    virtual QString masterText(const QString &field) const = 0;
    virtual int subDetailCount() const = 0;
    virtual QString subDetailText(int row, const QString &field) const = 0;
    virtual QString memo(const QString &name) const = 0;
};

} // namespace mizro::reports
