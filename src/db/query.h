#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace Firebird {
class IStatement;
class IResultSet;
class IMessageMetadata;
class ITransaction;
} // namespace Firebird

namespace mizro::db {

class Database;
class ReadSnapshot;
namespace fb {
template <typename T> class Ref;
}

/// One SQL statement on the shared connection, with named ":PARAM"
/// parameters (case-insensitive; a name may appear several times).
///
/// Values are sent with the type the program means (64-bit integers, text,
/// dates, times) and the server converts them to the column's type, so a
/// number outside a column's range or text that is not a number fails with
/// the server's own error instead of being stored as some other value.
/// An invalid QVariant is NULL; a parameter left unbound is an error, and so
/// is a text longer than the column it goes to. A statement that writes,
/// run outside a WriteGuard, is committed as a command of its own.
/// Throws DbError.
class Query {
public:
    explicit Query(Database &db, const QString &sql = QString());
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    /// Replaces the text (closing any open cursor); parameters are cleared.
    void setSql(const QString &sql);
    /// The statement's lines joined by line breaks.
    void setLines(const QStringList &lines) { setSql(lines.join(QLatin1Char('\n'))); }
    const QString &sql() const { return m_sql; }

    /// Reads through the snapshot from now on (null: the latest data again).
    /// The snapshot must outlive the reads.
    void setSnapshot(const ReadSnapshot *snapshot) { m_snapshot = snapshot; }

    const QStringList &parameterNames() const { return m_names; }
    /// Throws DbError(Parameter) for a name the statement does not have.
    void bind(const QString &name, const QVariant &value);
    void clearBindings();

    /// Runs the statement. A statement that returns rows leaves its cursor
    /// open for next().
    void exec();
    bool next();
    void close();
    bool isActive() const { return m_cursor != nullptr; }

    int fieldCount() const { return int(m_fields.size()); }
    const QStringList &fieldNames() const { return m_fields; }
    int fieldIndex(const QString &name) const { return m_fieldIndex.value(name.toUpper(), -1); }
    /// Characters a text field holds (0 for other types).
    int fieldLength(int index) const { return m_fieldLengths.value(index); }
    /// The table and column a field is read from; empty for an expression.
    QString fieldTable(int index) const { return m_fieldOrigins.value(index).first; }
    QString fieldColumn(int index) const { return m_fieldOrigins.value(index).second; }
    QVariant value(int index) const { return m_row.value(index); }
    /// Throws DbError(Parameter) for an unknown field.
    QVariant value(const QString &name) const;
    const QVector<QVariant> &row() const { return m_row; }
    /// Rows changed by the last insert, update or delete.
    qint64 rowsAffected() const { return m_affected; }

    /// Convenience: exec, then the first column of the first row (invalid
    /// when there is no row).
    QVariant scalar();

private:
    void prepare();
    void release();
    void run();
    void checkLength(Firebird::IMessageMetadata *described, unsigned i, const QVariant &v) const;
    fb::Ref<Firebird::IMessageMetadata> buildInput(QByteArray &buffer);
    void decodeRow();

    Database &m_db;
    QString m_sql;
    QByteArray m_positional;
    QStringList m_names;        // distinct names, upper case, first-seen order
    QVector<int> m_positions;   // index into m_names for each "?"
    QVector<QVariant> m_values; // per name
    QVector<bool> m_bound;

    Firebird::IStatement *m_statement = nullptr;
    quint64 m_preparedFor = 0;
    bool m_returnsRows = false;
    const ReadSnapshot *m_snapshot = nullptr;
    Firebird::IResultSet *m_cursor = nullptr;
    Firebird::ITransaction *m_cursorTransaction = nullptr; // its BLOBs are read in it
    Firebird::IMessageMetadata *m_outMeta = nullptr;
    QByteArray m_outBuffer;
    QStringList m_fields;
    QHash<QString, int> m_fieldIndex;
    QVector<int> m_fieldLengths;
    QVector<QPair<QString, QString>> m_fieldOrigins;
    QVector<QVariant> m_row;
    qint64 m_affected = 0;
};

/// Splits SQL text into positional text and the parameter name of each "?",
/// skipping quoted strings, quoted identifiers and comments.
struct ParsedSql {
    QByteArray positional;
    QStringList names; // one per placeholder, upper case
};
ParsedSql parseNamedParameters(const QString &sql);

} // namespace mizro::db
