#pragma once

#include "database.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace mizro::db {

/// The engine's services manager: online validation and backup of the file
/// the program works on. Both run inside the engine (in this process for a
/// local file, in the server for "host:path"), so they work while the
/// program holds its own attachment. Throws DbError.
class Services {
public:
    /// Called with each line of the engine's output as it arrives, and with
    /// an empty line about once a second while the engine works silently, so
    /// a window can keep painting between calls.
    using Progress = std::function<void(const QString &line)>;

    /// Where the services manager of a database name lives.
    struct Target {
        QString service; // "service_mgr" or "host[/port]:service_mgr"
        QString path;    // the file as the engine that runs the service sees it
        bool remote = false;
    };
    /// Splits a database name as the program connects with it: a local path,
    /// "host:path" or "host/port:path". A drive letter ("C:\...") is local.
    static Target target(const QString &databaseName);

    struct Validation {
        QStringList output;        // every line the engine wrote
        QStringList errors;        // the lines that report damage
        QStringList damagedTables; // tables those lines are about
        /// Tables another attachment was writing to: not checked. A
        /// transaction that wrote to a table keeps it from validation until
        /// it ends.
        QStringList busyTables;
        bool clean() const { return errors.isEmpty(); }
    };

    struct Backup {
        QStringList output; // the engine's verbose lines
        qint64 size = -1;   // bytes written; -1 when the engine did not say
    };

    explicit Services(const Login &login = Login::standard());

    /// Validates every table and index of the database while others may be
    /// attached to it. A table held by a writer is waited for a second, then
    /// reported busy.
    Validation validate(const QString &databaseName, const Progress &progress = {}) const;

    /// Writes a backup (the format gbak restores) of the database. For a local
    /// file the engine writes a temporary file next to the target, which takes
    /// the target's name only when complete: a failure leaves no file and an
    /// existing target as it was. On a server the path is the server's and
    /// the file is written as named (the engine removes it when it fails).
    Backup backup(const QString &databaseName, const QString &backupFile,
                  const Progress &progress = {}) const;

private:
    Login m_login;
};

} // namespace mizro::db
