#pragma once

#include "variant.h"

#include "db/dberror.h"

#include <QDate>
#include <QObject>
#include <QPair>
#include <QStringList>
#include <QTime>
#include <QVector>
#include <memory>
#include <utility>

class QWidget;

namespace mizro::db {
class BlobColumn;
class DataSet;
} // namespace mizro::db

namespace mizro::ui {
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::reg {

/// The decisions of the current meeting: their list, the yearly decision
/// number and the order number of a new decision, the values filled in
/// before a save, and deletion.
class DecisionRules : public QObject {
    Q_OBJECT
public:
    DecisionRules(ui::Session &session, const ui::Body &body, Variant variant,
                  QObject *parent = nullptr);
    ~DecisionRules() override;

    db::DataSet &decisions() const { return *m_decisions; }

    /// Reads the meeting's decisions (an unsaved one is dropped). Throws DbError.
    void list(int recordNumber);

    /// The highest decision number of the working year, counting only
    /// decisions whose meeting exists and is dated in that year (0 if none).
    int yearMaximum() const;
    /// Sets the counter to the year's maximum (a meeting's entry or change begins).
    void prepareNumbering();
    int counter() const { return m_counter; }
    /// The next order number within the meeting: its highest stored one + 1.
    int nextOrderNumber(int recordNumber) const;

    /// Numbers the pending decision of a classic editor: the working year's
    /// next decision number and the meeting's next order number. The
    /// decision number is the one a save may replace when another clerk
    /// takes it meanwhile. Throws DbError.
    void numberPending(int recordNumber);

    /// The meeting the decisions belong to, as the screen shows it: its
    /// record number and date are written into each decision saved.
    void setMeeting(int recordNumber, const QDate &date);
    /// The committee's document kind ("E", "D", "") the clerk chose for the
    /// current decision, which goes into editing. A decision the clerk did
    /// not choose a kind for keeps its own.
    bool setDocumentKind(const QString &kind);
    const QString &documentKind() const { return m_documentKind; }

    /// Appends a decision with the next numbers (an earlier unsaved one is
    /// saved first). The counter is raised even if the addition is later
    /// cancelled. False with lastError().
    bool add(const QTime &now);
    bool save();
    void cancel();
    /// Asks the question; on Yes deletes the current decision.
    bool remove(QWidget *parent);

    /// The departments a decision may concern: code and name. Throws DbError.
    QVector<QPair<int, QString>> departments() const;

    /// The stored document of the current decision (empty when it has none).
    /// Throws DbError.
    QByteArray document() const;
    /// Stores the current decision's document, as a command of its own,
    /// when it differs from the stored one. asRead is the value the editor
    /// started from: a document another clerk changed meanwhile is not
    /// overwritten. False with lastError().
    bool storeDocument(const QByteArray &value, const QByteArray &asRead);

    const QString &lastError() const { return m_error.text; }
    const QString &lastErrorDetails() const { return m_error.details; }
    /// Decision numbers someone else took meanwhile and the next free ones
    /// given instead; emptied by taking.
    QStringList takeNotices() { return std::exchange(m_notices, {}); }

private:
    /// Under the numbering lock: the decision number is no other decision's
    /// of the working year; a taken one the addition gave is replaced by
    /// the next free, one typed by hand is refused (the refusal's text).
    QString checkNumber(db::DataSet &ds);
    QString fillBeforeSave(db::DataSet &ds);
    QVariantList currentKey() const;

    ui::Session &m_session;
    const ui::Body &m_body;
    Variant m_variant;
    std::unique_ptr<db::DataSet> m_decisions;
    std::unique_ptr<db::BlobColumn> m_documents;
    int m_counter = 0;
    int m_givenNumber = 0; // the decision number the last addition gave
    int m_meetingRecord = 0;
    QDate m_meetingDate;
    QString m_documentKind;
    db::ErrorText m_error;
    QStringList m_notices;
};

} // namespace mizro::reg
