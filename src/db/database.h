#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QVector>
#include <functional>

namespace Firebird {
class IAttachment;
class ITransaction;
} // namespace Firebird

namespace mizro::db {

/// The user name and password the program attaches with.
struct Login {
    QString user;
    QString password;
    static const Login &standard();
};

/// The one attachment of the program and its transactions.
///
/// Reads go through a read-only read-committed transaction, which the engine
/// starts pre-committed, so holding it for the whole run keeps no old record
/// version from being collected. Each command that writes runs in a short
/// transaction of its own that is committed in full (see WriteGuard), and a
/// statement that writes outside a WriteGuard is such a command by itself.
/// A report's queries read through a snapshot of their own (see
/// ReadSnapshot), so that it shows one moment while others write.
///
/// Writes do not wait on rows another clerk holds: they try again for a few
/// seconds, with the busy handler told, and then fail with a lock conflict.
class Database : public QObject {
    Q_OBJECT
public:
    static constexpr int LockWaitMilliseconds = 3000;

    explicit Database(QObject *parent = nullptr);
    ~Database() override;

    /// A local path, or "host:path" / "host/port:path" for a server.
    void setDatabaseName(const QString &name) { m_name = name; }
    const QString &databaseName() const { return m_name; }
    void setLogin(const Login &login) { m_login = login; }
    const Login &login() const { return m_login; }

    /// Disconnects if connected, then attaches and starts the read transaction.
    /// Throws DbError.
    void connect();
    /// Detaches; a command still open is rolled back. Never throws: the error
    /// text is returned (empty on success).
    QString disconnect();
    bool isConnected() const { return m_attachment != nullptr; }

    /// Called with true when a write starts waiting for a row another clerk
    /// holds, and with false when the wait ends (a busy cursor, say).
    void setBusyHandler(std::function<void(bool)> handler) { m_busy = std::move(handler); }

    /// Bumped on every connect, so prepared statements know to prepare again.
    quint64 generation() const { return m_generation; }

    /// Creates an empty database file (UTF8, page size 8192, dialect 3).
    /// Throws DbError; refuses an existing file.
    struct CreateOptions {
        bool forcedWrites = true;
    };
    static void createFile(const QString &path, const CreateOptions &options);
    static void createFile(const QString &path) { createFile(path, CreateOptions{}); }

    // For db/ only.
    Firebird::IAttachment *attachment() const;
    /// The transaction statements run in now: the command's while one is
    /// open, else the read transaction.
    Firebird::ITransaction *transaction();
    bool inCommand() const { return m_write != nullptr; }
    int &commandDepth() { return m_commandDepth; }
    void beginCommand();
    /// A full commit; on failure the command stays open for rollbackCommand().
    void commitCommand();
    void rollbackCommand();
    /// A read-only snapshot transaction, ended by endTransaction().
    Firebird::ITransaction *startSnapshot();
    static void endTransaction(Firebird::ITransaction *&transaction, bool commit);

    /// Runs when the command part open now (this guard level and deeper)
    /// is rolled back, so that what a data set showed as stored is put back.
    void onRollback(std::function<void()> undo);
    /// For WriteGuard: the undos of the levels deeper than level run (on
    /// rollback) or are dropped (when the whole command is committed).
    void rolledBack(int level);
    void committed();

    /// Runs f; while it fails on a row held by another transaction, tries
    /// again until the lock wait has passed. Only the outermost call waits.
    template <typename F> auto waitingForLocks(F &&f) -> decltype(f());

private:
    Firebird::ITransaction *start(bool write, bool snapshot);
    bool retryAfterLock(const QElapsedTimer &waited);
    void endWaiting();
    void dropAttachment();

    QString m_name;
    Login m_login = Login::standard();
    Firebird::IAttachment *m_attachment = nullptr;
    Firebird::ITransaction *m_read = nullptr;
    Firebird::ITransaction *m_write = nullptr;
    int m_commandDepth = 0;
    QVector<QPair<int, std::function<void()>>> m_undos; // by the depth they belong to
    int m_waitDepth = 0;
    bool m_busyShown = false;
    std::function<void(bool)> m_busy;
    quint64 m_generation = 0;
};

} // namespace mizro::db

#include "dberror.h"

namespace mizro::db {

template <typename F> auto Database::waitingForLocks(F &&f) -> decltype(f())
{
    if (m_waitDepth > 0 || !inCommand())
        return f();
    ++m_waitDepth;
    struct Leave {
        Database *db;
        ~Leave() { db->endWaiting(); }
    } leave{this};
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        try {
            return f();
        } catch (const DbError &e) {
            if (e.kind() != DbError::Kind::LockConflict || !retryAfterLock(waited))
                throw;
        }
    }
}

} // namespace mizro::db
