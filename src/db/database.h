#pragma once

#include <QObject>
#include <QString>

namespace Firebird {
class IAttachment;
class ITransaction;
} // namespace Firebird

namespace mizro::db {

/// The one attachment and the one transaction that every statement and data
/// set of the program uses. The transaction is read committed with a short
/// lock wait, so a row held by another clerk on a shared server gives an
/// error instead of freezing the window. Commands that write commit when they
/// complete (see WriteGuard); closing the connection commits what is open.
class Database : public QObject {
    Q_OBJECT
public:
    static constexpr int LockTimeoutSeconds = 5;

    explicit Database(QObject *parent = nullptr);
    ~Database() override;

    /// A local path, or "host:path" / "host/port:path" for a server.
    void setDatabaseName(const QString &name) { m_name = name; }
    const QString &databaseName() const { return m_name; }
    void setCredentials(const QString &user, const QString &password);

    /// Disconnects if connected, then attaches and starts the transaction.
    /// Throws DbError.
    void connect();
    /// Commits the open transaction and detaches. Never throws: a failing
    /// commit is rolled back and the attachment dropped; the error text is
    /// returned (empty on success).
    QString disconnect();
    bool isConnected() const { return m_attachment != nullptr; }

    /// Commit / roll back, keeping the transaction open. Throw DbError.
    void commitRetaining();
    void rollbackRetaining();

    /// Ends the transaction with a full commit and starts a new one, so that
    /// nothing of this connection holds a table (the online validation needs
    /// that). Throws DbError.
    void restartTransaction();

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
    Firebird::ITransaction *transaction();
    int &guardDepth() { return m_guardDepth; }

signals:
    void connectionChanged(bool connected);

private:
    void startTransaction();
    void dropAttachment();

    QString m_name;
    QString m_user = QStringLiteral("SYSDBA");
    QString m_password = QStringLiteral("VUTE");
    Firebird::IAttachment *m_attachment = nullptr;
    Firebird::ITransaction *m_transaction = nullptr;
    quint64 m_generation = 0;
    int m_guardDepth = 0;
};

} // namespace mizro::db
