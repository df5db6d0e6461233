#pragma once

#include "variant.h"

#include "db/dberror.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>

class QWidget;

namespace mizro::db {
class DataSet;
class Query;
} // namespace mizro::db

namespace mizro::ui {
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::reg {

class DecisionRules;

/// A body's meetings of the working year: listing with decision counts,
/// numbering, defaults, the checks before a save, deletion with the
/// meeting's decisions. The meeting data set's current row is the meeting
/// the screens show and edit.
class MeetingRules : public QObject {
    Q_OBJECT
public:
    /// The largest record number a meeting can hold.
    static constexpr int MaxRecordNumber = 32767;

    enum class Field { None, Time, Type, Summary, Date, Number };
    struct CheckResult {
        QString message; // empty when all checks pass
        Field field = Field::None;
        bool passed() const { return message.isEmpty(); }
    };
    /// What the screen knows and the data set does not.
    struct ScreenState {
        bool typeChosen = true;
        /// A decision of this meeting is being added or changed and its
        /// summary box is empty.
        bool decisionSummaryEmpty = false;
    };

    MeetingRules(ui::Session &session, const ui::Body &body, Variant variant,
                 QObject *parent = nullptr);
    ~MeetingRules() override;

    db::DataSet &meetings() const { return *m_meetings; }
    const ui::Body &body() const { return m_body; }
    Variant variant() const { return m_variant; }

    /// Reads the working year's meetings; the last one becomes current and
    /// the last meeting number is taken. Throws DbError.
    void list();
    /// The meeting number of the list's last row (0 for an empty list).
    int lastMeetingNumber() const { return m_lastMeetingNumber; }
    void takeLastMeetingNumber();
    /// The delete command is offered for the current meeting.
    bool deletionOffered() const;

    /// Starts a new meeting with its numbers and defaults. Returns an empty
    /// text, or the message why no meeting can be started.
    QString beginNew(const QDate &today);
    bool beginChange();
    /// The checks before a save, in their order; the first failure.
    CheckResult check(const ScreenState &screen) const;
    /// Writes the meeting (after check()), then the pending decision if one
    /// is given; the single-screen register reads the list again and keeps
    /// the saved meeting current. False with lastError() when refused.
    bool save(DecisionRules *pendingDecision = nullptr);
    void cancel();
    /// Asks the body's question; on Yes deletes the current meeting with its
    /// decisions, all or nothing, and reads the list again. Refused when the
    /// meeting or its decision count (as listed: refreshDecisionCount() after
    /// a decision is added or deleted) changed since it was read.
    bool remove(QWidget *parent);

    /// Decisions of a meeting that carry an order number, read now. Throws DbError.
    int decisionCount(int recordNumber) const;
    /// Reads one meeting's count again (after its decisions changed) and
    /// shows it in the list. Throws DbError.
    void refreshDecisionCount(int recordNumber);
    const QString &lastError() const { return m_error.text; }
    const QString &lastErrorDetails() const { return m_error.details; }
    /// The field a refused save is about (the meeting number taken by hand).
    Field lastErrorField() const { return m_errorField; }
    /// What the last save changed on its own and the clerk should be told
    /// (a number someone else took meanwhile); emptied by taking.
    QStringList takeNotices() { return std::exchange(m_notices, {}); }

    /// Texts of the meeting type ("1", "2").
    static QString typeText(const QString &tur);

private:
    int drawRecordNumber(QString &error);
    /// Under the numbering lock: the meeting number is not another meeting's
    /// of the year. A drawn number someone took is replaced by the next free.
    bool checkNumber();
    void readCounts();
    void listMeetings();
    void relist(QWidget *parent, const QString &text, const std::function<void()> &read);

    ui::Session &m_session;
    const ui::Body &m_body;
    Variant m_variant;
    std::unique_ptr<db::DataSet> m_meetings;
    std::unique_ptr<db::Query> m_count;
    QHash<int, int> m_counts; // decision counts of the listed meetings, by KAYNO
    int m_lastMeetingNumber = 0;
    int m_drawnNumber = 0; // the number the entry began with
    db::ErrorText m_error;
    Field m_errorField = Field::None;
    QStringList m_notices;
};

} // namespace mizro::reg
