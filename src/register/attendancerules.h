#pragma once

#include "db/dberror.h"

#include <QObject>
#include <QVariantMap>
#include <memory>

class QWidget;

namespace mizro::db {
class DataSet;
}

namespace mizro::ui {
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::reg {

/// Who attended a meeting, and the members that may still be added. Rows are
/// written and removed at once, not held back until the meeting is saved.
class AttendanceRules : public QObject {
    Q_OBJECT
public:
    AttendanceRules(ui::Session &session, const ui::Body &body, QObject *parent = nullptr);
    ~AttendanceRules() override;

    /// The meeting's attendance with the names and titles of the given
    /// year's members ("Adı Soyadı", "Ünvanı"); unordered.
    db::DataSet &attendance() const { return *m_attendance; }
    /// Active members of the year not yet present at the meeting.
    db::DataSet &candidates() const { return *m_candidates; }

    /// Throws DbError.
    void list(int recordNumber, int year);
    void listCandidates(int recordNumber, int year);

    /// Writes one attendance row. False with lastError().
    bool add(int recordNumber, int memberCode);
    /// Writes a row for every candidate in list order, all or nothing;
    /// returns how many were added (-1 on failure).
    int addAllCandidates(int recordNumber);
    /// Asks the question; on Yes removes the member from the meeting.
    bool remove(QWidget *parent, int recordNumber, int memberCode);

    const QString &lastError() const { return m_error.text; }
    const QString &lastErrorDetails() const { return m_error.details; }

private:
    /// One statement as one command, committed; false with lastError().
    bool write(const QString &sql, const QVariantMap &params);

    ui::Session &m_session;
    const ui::Body &m_body;
    std::unique_ptr<db::DataSet> m_attendance;
    std::unique_ptr<db::DataSet> m_candidates;
    db::ErrorText m_error;
};

} // namespace mizro::reg
