#pragma once

#include "database.h"

#include <QString>
#include <QStringList>

namespace mizro::db {

/// The shipped schema and the older versions that upgrades start from.
class Schema {
public:
    static QString currentVersion() { return QStringLiteral("14.001"); }
    /// Versions a file can be created with, newest first.
    static QStringList versions();

    /// Splits a script into statements at semicolons ending a line; comment
    /// lines are dropped.
    static QStringList statements(const QString &script);

    /// Creates a database file with the schema of the version and its one
    /// definitions row (VER set, CYIL the current year). A failure removes
    /// the half-made file. Throws DbError.
    static void createDatabase(const QString &path, const QString &version,
                               const Database::CreateOptions &options = {});

    /// Runs each statement of a script as a command of its own, so that later
    /// statements see earlier schema changes. Throws DbError.
    static void runScript(Database &db, const QString &script);
    static QString script(const QString &resourceName);
};

} // namespace mizro::db
