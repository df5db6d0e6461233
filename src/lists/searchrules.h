#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace mizro::db {
class Database;
}
namespace mizro::ui {
struct Body;
}

namespace mizro::lists {

/// The search in a body's meeting descriptions and decision summaries, over
/// all years: the two row sets, read once, and the two scans over them.
class SearchRules {
public:
    struct Meeting {
        QString description; // ACIK
        QString number;      // OTRNO
        QString date;        // TARIH, short date
    };
    struct Decision {
        QString summary;       // OZET
        QString meetingNumber; // OTRNO of its meeting; empty without one
    };

    static QString searchingLine() { return QStringLiteral("Arama Yapılıyor......"); }
    static QString finishedLine() { return QStringLiteral("Arama Tamamlandı...."); }

    SearchRules(db::Database &db, const ui::Body &body);

    QString meetingsSql() const;
    QString decisionsSql() const;
    /// Reads both row sets. Throws DbError.
    void read();
    void release();
    const QVector<Meeting> &meetings() const { return m_meetings; }
    const QVector<Decision> &decisions() const { return m_decisions; }

    /// ENCUMENARA: a line for every place where the text, its ASCII letters
    /// a to z put in capitals, equals the search text.
    static void meetingScan(const QVector<Meeting> &meetings, const QString &text,
                            QStringList &lines);
    /// KARARARA: a line for every place where the summary holds the search
    /// text exactly.
    static void decisionScan(const QVector<Decision> &decisions, const QString &text,
                             QStringList &lines);
    /// The result list after a search: both scans, then the closing line,
    /// every line in its place in the order that ignores case.
    QStringList search(const QString &text) const;
    /// Orders lines as the sorted list keeps them; lines equal but for case
    /// stay in the order they were added.
    static void sortLines(QStringList &lines);

private:
    db::Database &m_db;
    const ui::Body &m_body;
    QVector<Meeting> m_meetings;
    QVector<Decision> m_decisions;
};

} // namespace mizro::lists
