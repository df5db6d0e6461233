#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace mizro::db {
class Database;
}

namespace mizro::app {

/// The users of the login, kept in the database. A password is never
/// stored: only a random salt and its slow, salted digest (PBKDF2 with
/// HMAC-SHA256).
class UserStore {
public:
    static constexpr int Iterations = 120000;
    static constexpr int MinimumPasswordLength = 6;

    explicit UserStore(db::Database &db);

    /// Files made before the login existed lack the table: it is made on
    /// first use. Throws DbError.
    void ensureTable();
    bool hasUsers();
    QStringList users();
    /// Throws DbError (Duplicate when the name is taken). The name is trimmed.
    void addUser(const QString &name, const QString &password);
    /// False when there is no such user. Throws DbError.
    bool setPassword(const QString &name, const QString &password);
    bool removeUser(const QString &name);
    /// True only for an existing user with this password. Takes as long for
    /// an unknown name as for a known one.
    bool verify(const QString &name, const QString &password);

    static QByteArray digest(const QString &password, const QByteArray &salt, int iterations);

private:
    bool tableExists();
    /// Runs the insert or update with a fresh salt and digest; rows changed.
    qint64 writeDigest(const QString &sql, const QString &name, const QString &password);

    db::Database &m_db;
};

} // namespace mizro::app
