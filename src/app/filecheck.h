#pragma once

#include "db/services.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace mizro::db {
class Database;
}

namespace mizro::app {

/// The file check clerks run before a year-end or after a power cut: the
/// engine's validation of the file, then what the register itself can leave
/// behind when a command is cut short or two clerks number at once. Each
/// finding says which body, year, numbers and record numbers it is about.
class FileCheck {
public:
    enum class Kind {
        Damage,            // the engine found a damaged table
        OrphanAttendance,  // attendance rows of a meeting that is gone
        OrphanDecision,    // a decision of a meeting that is gone
        DuplicateMeeting,  // one meeting number twice in a body's year
        DuplicateDecision, // one decision number twice in a body's year
    };

    struct Finding {
        Kind kind = Kind::Damage;
        QString body;   // "Encümen", "Meclis"; empty for damage
        QString table;  // the table holding the rows
        int year = 0;   // 0 when the rows carry no date
        int number = 0; // the meeting or decision number; 0 when none
        QList<int> recordNumbers;
        QString text; // what the clerk reads
    };

    struct Report {
        QVector<Finding> damage;
        QVector<Finding> orphanAttendance;
        QVector<Finding> orphanDecisions;
        QVector<Finding> duplicateMeetings;
        QVector<Finding> duplicateDecisions;
        bool validated = false;
        db::Services::Validation validation; // when validated
        /// Why the leftover checks stopped short on a damaged file; empty
        /// when they ran through.
        QString leftoversError;

        int problemCount() const;
        /// Every finding, in the order of the lists above.
        QVector<Finding> findings() const;
        /// "Sorun bulunamadı." or how many problems were found.
        QString summary() const;
        /// What the check could not cover (tables held by a writer, checks
        /// a damaged file stopped), one sentence each.
        QStringList notes() const;
    };

    /// Asked between the steps of a check: true stops it.
    using Cancel = std::function<bool()>;
    /// A check that was cancelled: what it had done by then.
    struct Cancelled {
        QString done;
    };

    explicit FileCheck(db::Database &db);

    /// Validates the file through the engine, then runs the leftover checks
    /// (as far as a damaged file lets them).
    /// A transaction keeps every table it wrote to locked from validation
    /// while it lasts: not to be called inside a command that writes (the
    /// connection's own reads hold nothing back). Throws DbError, or Cancelled when
    /// cancel says so (the engine's validation is not waited for).
    Report run(const db::Services::Progress &progress = {}, const Cancel &cancel = {});

    /// A backup works on an attachment of its own, newer than any there is
    /// when serviceMark() is taken. stopServices() ends the work of the
    /// services started since: a backup fails and cleans up after itself,
    /// leaving no file. Other clerks' attachments on a server are left alone.
    /// Throw DbError.
    static qint64 serviceMark(db::Database &db);
    static void stopServices(db::Database &db, qint64 since);

    /// The leftover checks only. Throws DbError.
    Report leftovers();

private:
    void findLeftovers(Report &report, const Cancel &cancel = {});

    db::Database &m_db;
};

} // namespace mizro::app
