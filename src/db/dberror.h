#pragma once

#include <QString>
#include <QVector>
#include <stdexcept>

namespace mizro::db {

/// An error reported by the database engine (or by this layer on its behalf).
/// Keeps the engine's error codes and full text, so that a screen shows the
/// clerk a Turkish message and puts the engine's own text in the details.
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
        RowChanged,   // the row was changed or deleted by someone else since it was read
    };

    /// text: the Turkish message (empty: the general one of the kind);
    /// details: the engine's own text.
    DbError(Kind kind, const QString &text, const QString &details = QString(),
            QVector<qint64> codes = {}, int sqlCode = 0);

    Kind kind() const { return m_kind; }
    /// The Turkish message for the clerk, without the engine's text.
    QString message() const;
    /// The engine's own text, several lines; empty for errors of the program.
    const QString &details() const { return m_details; }
    const QVector<qint64> &codes() const { return m_codes; }
    int sqlCode() const { return m_sqlCode; }
    bool hasCode(qint64 code) const { return m_codes.contains(code); }

    static Kind classify(const QVector<qint64> &codes);
    /// The general message of a kind.
    static QString kindText(Kind kind);

private:
    Kind m_kind;
    QString m_text;
    QString m_details;
    QVector<qint64> m_codes;
    int m_sqlCode;
};

/// What a command that failed tells the clerk: the message, and the engine's
/// own text for the box's details.
struct ErrorText {
    QString text;
    QString details;
    void clear()
    {
        text.clear();
        details.clear();
    }
    void set(const DbError &e)
    {
        text = e.message();
        details = e.details();
    }
    void set(const QString &message, const QString &engineText = QString())
    {
        text = message;
        details = engineText;
    }
};

} // namespace mizro::db
