#pragma once

#include "reportlayout.h"

#include <QStringList>
#include <functional>

namespace mizro::reports {

class ReportSource;

/// A band placed on a page, with the texts of its data texts and memos (in
/// the order of the band's elements; labels and rules have none).
struct PlacedBand {
    enum class Kind { Title, Detail, SubDetail };
    Kind kind;
    double top; // millimetres below the top margin
    QStringList texts;
};

struct ReportPage {
    QVector<PlacedBand> bands;
};

/// A report built into pages, ready to be drawn as often as needed.
struct ReportDocument {
    ReportLayout layout;
    QVector<ReportPage> pages;
    bool cancelled = false;

    const ReportBand &band(PlacedBand::Kind kind) const;
    int pageCount() const { return int(pages.size()); }
};

/// Told the pages built so far; false stops the work.
using ReportProgressHook = std::function<bool(int pages)>;

/// Steps through the source and places the bands: a band that does not fit
/// on the rest of a page starts the next one. Throws what the source throws.
ReportDocument buildReport(const ReportLayout &layout, ReportSource &source,
                           const ReportProgressHook &progress = nullptr);

} // namespace mizro::reports
