#pragma once

#include "reportdocument.h"

#include <QPair>
#include <QString>
#include <QVector>

namespace mizro::db {
class Database;
}
namespace mizro::ui {
struct Body;
}

namespace mizro::reports {

/// The decision ledger's statements for one body and the building of its
/// report: the grid of the period's decisions, the period's meetings, and
/// for each meeting its attendance (the member text) and its decisions.
class LedgerRules {
public:
    LedgerRules(db::Database &db, const ui::Body &body);

    const ui::Body &body() const { return m_body; }

    /// The grid as the screen first shows it: the whole year, :TT.
    QString openingSql() const;
    /// The grid of the year (:YY), of one month of it with month (:AA).
    QString gridSql(bool month) const;
    /// The meetings of the period, the report's master rows.
    QString meetingsSql(bool month) const;
    /// A meeting's attendance (:OTN) with each member of the year of the
    /// meeting's date (:YIL).
    QString attendanceSql() const;
    /// A meeting's decisions (:OTN), without their documents.
    QString decisionsSql() const;
    /// Names and titles in the order read: each row put in front of those
    /// before it, each followed by ", ".
    static QString memberText(const QVector<QPair<QString, QString>> &rows);

    /// Builds the ledger of a year, or of one month of it (0: the whole
    /// year), reading every row through one snapshot. Throws DbError.
    ReportDocument build(const QString &year, int month,
                         const ReportProgressHook &progress = nullptr) const;

private:
    db::Database &m_db;
    const ui::Body &m_body;
};

} // namespace mizro::reports
