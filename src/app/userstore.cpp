#include "userstore.h"

#include "db/dberror.h"
#include "db/query.h"
#include "db/writeguard.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace mizro::app {

namespace {

QByteArray randomSalt()
{
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()),
                                          salt.size() / 4);
    return salt;
}

// Compares without an early exit, so timing tells nothing.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

} // namespace

UserStore::UserStore(db::Database &db) : m_db(db) {}

QByteArray UserStore::digest(const QString &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt,
                                              iterations, 32);
}

bool UserStore::tableExists()
{
    db::Query q(m_db, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE "
                                     "RDB$RELATION_NAME='KULLANICI'"));
    return q.scalar().toInt() > 0;
}

void UserStore::ensureTable()
{
    if (tableExists())
        return;
    db::WriteGuard guard(m_db);
    db::Query(m_db, QStringLiteral("CREATE TABLE KULLANICI (\n"
                                   "    KADI    VARCHAR(30) NOT NULL,\n"
                                   "    TUZ     VARCHAR(32) NOT NULL,\n"
                                   "    OZET    VARCHAR(64) NOT NULL,\n"
                                   "    TEKRAR  INTEGER NOT NULL,\n"
                                   "    CONSTRAINT PK_KULLANICI PRIMARY KEY (KADI))"))
        .exec();
    guard.commit();
}

bool UserStore::hasUsers()
{
    if (!tableExists())
        return false;
    return db::Query(m_db, QStringLiteral("SELECT COUNT(*) FROM KULLANICI")).scalar().toInt() > 0;
}

QStringList UserStore::users()
{
    QStringList out;
    if (!tableExists())
        return out;
    db::Query q(m_db, QStringLiteral("SELECT KADI FROM KULLANICI ORDER BY KADI"));
    q.exec();
    while (q.next())
        out << q.value(0).toString();
    return out;
}

qint64 UserStore::writeDigest(const QString &sql, const QString &name, const QString &password)
{
    const QByteArray salt = randomSalt();
    db::WriteGuard guard(m_db);
    db::Query q(m_db, sql);
    q.bind(QStringLiteral("KADI"), name.trimmed());
    q.bind(QStringLiteral("TUZ"), QString::fromLatin1(salt.toHex()));
    q.bind(QStringLiteral("OZET"), QString::fromLatin1(digest(password, salt, Iterations).toHex()));
    q.bind(QStringLiteral("TEKRAR"), Iterations);
    q.exec();
    guard.commit();
    return q.rowsAffected();
}

void UserStore::addUser(const QString &name, const QString &password)
{
    ensureTable();
    writeDigest(QStringLiteral("INSERT INTO KULLANICI (KADI,TUZ,OZET,TEKRAR) "
                               "VALUES (:KADI,:TUZ,:OZET,:TEKRAR)"),
                name, password);
}

bool UserStore::setPassword(const QString &name, const QString &password)
{
    if (!tableExists())
        return false;
    return writeDigest(QStringLiteral("UPDATE KULLANICI SET TUZ=:TUZ, OZET=:OZET, TEKRAR=:TEKRAR "
                                      "WHERE KADI=:KADI"),
                       name, password) == 1;
}

bool UserStore::removeUser(const QString &name)
{
    if (!tableExists())
        return false;
    db::WriteGuard guard(m_db);
    db::Query q(m_db, QStringLiteral("DELETE FROM KULLANICI WHERE KADI=:KADI"));
    q.bind(QStringLiteral("KADI"), name.trimmed());
    q.exec();
    guard.commit();
    return q.rowsAffected() == 1;
}

bool UserStore::verify(const QString &name, const QString &password)
{
    QByteArray salt = QByteArray(16, 'x');
    QByteArray stored;
    int iterations = Iterations;
    bool known = false;
    if (tableExists()) {
        db::Query q(m_db, QStringLiteral("SELECT TUZ,OZET,TEKRAR FROM KULLANICI WHERE KADI=:KADI"));
        q.bind(QStringLiteral("KADI"), name.trimmed());
        q.exec();
        if (q.next()) {
            salt = QByteArray::fromHex(q.value(0).toString().toLatin1());
            stored = QByteArray::fromHex(q.value(1).toString().toLatin1());
            iterations = qBound(1, q.value(2).toInt(), 10000000);
            known = true;
        }
        q.close();
    }
    // An unknown name costs the same work, so the answer's timing tells nothing.
    const QByteArray computed = digest(password, salt, iterations);
    return known && sameBytes(computed, stored);
}

} // namespace mizro::app
