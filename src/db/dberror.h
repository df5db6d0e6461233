#pragma once

#include <QString>
#include <QVector>
#include <stdexcept>

namespace mizro::db {

/// An error reported by the database engine (or by this layer on its behalf).
/// Keeps the engine's error codes and full text so that screens can give a
/// clear message for the cases clerks meet and the engine's text for the rest.
class DbError : public std::runtime_error {
public:
    enum class Kind {
        Other,
        NotConnected, // no attachment
        Connection,   // the file or server could not be opened
        NotADatabase, // the file exists but is not a database
        Duplicate,    // a primary or unique key already holds the value
        TooLong,      // text longer than its column
        OutOfRange,   // a number outside its column's range
        NotANumber,   // text that does not convert to the column's type
        MissingValue, // a required column left empty
        LockConflict, // another user holds the row
        Parameter,    // a named parameter that the statement does not have
    };

    DbError(Kind kind, const QString &engineText, QVector<qint64> codes = {}, int sqlCode = 0);

    Kind kind() const { return m_kind; }
    /// The engine's own text, several lines.
    const QString &engineText() const { return m_engineText; }
    const QVector<qint64> &codes() const { return m_codes; }
    int sqlCode() const { return m_sqlCode; }
    bool hasCode(qint64 code) const { return m_codes.contains(code); }
    /// A clear Turkish message for the user; the engine's text follows for
    /// the kinds that have no message of their own.
    QString message() const;

    static Kind classify(const QVector<qint64> &codes);

private:
    Kind m_kind;
    QString m_engineText;
    QVector<qint64> m_codes;
    int m_sqlCode;
};

} // namespace mizro::db
