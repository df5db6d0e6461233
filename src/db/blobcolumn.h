#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace mizro::db {

class Database;

/// A BLOB column (a decision's or a template's document) read and written by
/// its row's key on its own, so that lists never carry it and a save of the
/// row's other columns never rewrites it. An empty value is stored as NULL.
class BlobColumn {
public:
    BlobColumn(Database &db, const QString &table, const QString &column,
               const QStringList &keyFields);

    /// The value of the row whose key fields hold these values, in the order
    /// of keyFields; empty when it has none. A missing row is an error
    /// (RowChanged). Throws DbError.
    QByteArray read(const QVariantList &key) const;

    enum class Outcome { Written, Unchanged };
    /// Stores value, as a command of its own, unless the stored value already
    /// equals it. asRead is the value the caller started from: when the
    /// stored one differs from it, another clerk has changed it meanwhile and
    /// nothing is written (DbError RowChanged). Throws DbError.
    Outcome write(const QVariantList &key, const QByteArray &value, const QByteArray &asRead);

private:
    QString byKey() const;
    QByteArray fetch(const QString &sql, const QVariantList &key) const;

    Database &m_db;
    QString m_table;
    QString m_column;
    QStringList m_keyFields;
};

} // namespace mizro::db
