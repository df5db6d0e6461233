#include "blobcolumn.h"

#include "database.h"
#include "dberror.h"
#include "query.h"
#include "writeguard.h"

namespace mizro::db {

namespace {

DbError rowGone()
{
    return DbError(DbError::Kind::RowChanged,
                   QStringLiteral("Kayıt bulunamadı; başka bir kullanıcı silmiş olabilir."));
}

} // namespace

BlobColumn::BlobColumn(Database &db, const QString &table, const QString &column,
                       const QStringList &keyFields)
    : m_db(db), m_table(table), m_column(column), m_keyFields(keyFields)
{
}

QString BlobColumn::byKey() const
{
    QStringList where;
    for (const QString &k : m_keyFields)
        where << QStringLiteral("%1 = :%1").arg(k);
    return QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND "));
}

QByteArray BlobColumn::fetch(const QString &sql, const QVariantList &key) const
{
    Query q(m_db, sql);
    for (int i = 0; i < m_keyFields.size(); ++i)
        q.bind(m_keyFields[i], key.value(i));
    return m_db.waitingForLocks([&] {
        q.exec();
        if (!q.next())
            throw rowGone();
        const QByteArray value = q.value(0).toByteArray();
        q.close();
        return value;
    });
}

QByteArray BlobColumn::read(const QVariantList &key) const
{
    return fetch(QStringLiteral("SELECT %1 FROM %2\n").arg(m_column, m_table) + byKey(), key);
}

BlobColumn::Outcome BlobColumn::write(const QVariantList &key, const QByteArray &value,
                                      const QByteArray &asRead)
{
    WriteGuard guard(m_db);
    // Locked until the command ends, so nobody writes between the look and the write.
    const QByteArray stored = fetch(QStringLiteral("SELECT %1 FROM %2\n").arg(m_column, m_table) +
                                        byKey() + QStringLiteral("\nWITH LOCK"),
                                    key);
    if (stored == value)
        return Outcome::Unchanged;
    if (stored != asRead)
        throw DbError(DbError::Kind::RowChanged,
                      QStringLiteral("Bu metin, siz açtıktan sonra başka bir kullanıcı tarafından "
                                     "değiştirilmiş; metniniz kaydedilmedi."));
    Query q(m_db, QStringLiteral("UPDATE %1 SET %2 = :%2\n").arg(m_table, m_column) + byKey());
    q.bind(m_column, value.isEmpty() ? QVariant() : QVariant(value));
    for (int i = 0; i < m_keyFields.size(); ++i)
        q.bind(m_keyFields[i], key.value(i));
    q.exec();
    guard.commit();
    return Outcome::Written;
}

} // namespace mizro::db
