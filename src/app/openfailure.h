#pragma once

#include <QString>

namespace mizro::db {
class DbError;
}

namespace mizro::app {

/// Why a database could not be opened, in words a clerk understands, with
/// the engine's own text for the details.
struct OpenFailure {
    QString reason;
    QString details;

    bool isEmpty() const { return reason.isEmpty(); }

    /// From the engine's error on connecting to a database name (a local
    /// path, "host:path" or "host/port:path"); for a local file what the file
    /// itself shows comes first.
    static OpenFailure explain(const QString &databaseName, const db::DbError &error);
    /// What a local file shows without the engine: missing, a folder, empty,
    /// not ours to open. Empty when none of these.
    static QString fileReason(const QString &path);
};

} // namespace mizro::app
