#include "searchrules.h"

#include "db/dataset.h"
#include "db/query.h"
#include "ui/body.h"

#include <algorithm>

namespace mizro::lists {

namespace {

/// Only a to z change: Turkish letters stay as they are.
QString asciiCapitals(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return out;
}

/// Every start position of text in within, overlapping ones included.
template <typename F> void eachOccurrence(const QString &within, const QString &text, F found)
{
    if (text.isEmpty() || within.size() < text.size())
        return;
    for (qsizetype at = within.indexOf(text, 0, Qt::CaseSensitive); at >= 0;
         at = within.indexOf(text, at + 1, Qt::CaseSensitive))
        found();
}

} // namespace

SearchRules::SearchRules(db::Database &db, const ui::Body &body) : m_db(db), m_body(body) {}

QString SearchRules::meetingsSql() const
{
    return QStringLiteral("select * from %1").arg(m_body.meetingTable);
}

QString SearchRules::decisionsSql() const
{
    // The documents are not searched, so they are not read.
    return QStringLiteral("SELECT K.SNO,K.KARNO,K.OZET,K.%1,E.OTRNO FROM %2 K\n"
                          "LEFT JOIN %3 E ON(E.KAYNO=K.KAYNO)")
        .arg(m_body.isCommittee() ? QStringLiteral("EVTAR") : QStringLiteral("TARIH"),
             m_body.decisionTable, m_body.meetingTable);
}

void SearchRules::read()
{
    release();
    db::Query meetings(m_db, meetingsSql());
    meetings.exec();
    const int acik = meetings.fieldIndex(QStringLiteral("ACIK"));
    const int otrno = meetings.fieldIndex(QStringLiteral("OTRNO"));
    const int tarih = meetings.fieldIndex(QStringLiteral("TARIH"));
    while (meetings.next())
        m_meetings.append({meetings.value(acik).toString(), meetings.value(otrno).toString(),
                           db::DataSet::defaultText(meetings.value(tarih))});
    db::Query decisions(m_db, decisionsSql());
    decisions.exec();
    while (decisions.next())
        m_decisions.append({decisions.value(2).toString(), decisions.value(4).toString()});
}

void SearchRules::release()
{
    m_meetings.clear();
    m_meetings.squeeze();
    m_decisions.clear();
    m_decisions.squeeze();
}

void SearchRules::meetingScan(const QVector<Meeting> &meetings, const QString &text,
                              QStringList &lines)
{
    for (const Meeting &m : meetings) {
        eachOccurrence(asciiCapitals(m.description), text, [&] {
            lines << QStringLiteral("KARAR NO : ") + m.number + QStringLiteral(" KARAR TARİHİ :") +
                         m.date;
        });
    }
}

void SearchRules::decisionScan(const QVector<Decision> &decisions, const QString &text,
                               QStringList &lines)
{
    for (const Decision &d : decisions) {
        eachOccurrence(d.summary, text,
                       [&] { lines << QStringLiteral("KARAR NO: ") + d.meetingNumber; });
    }
}

QStringList SearchRules::search(const QString &text) const
{
    QStringList lines{searchingLine()};
    lines.clear();
    meetingScan(m_meetings, text, lines);
    decisionScan(m_decisions, text, lines);
    lines << finishedLine();
    sortLines(lines);
    return lines;
}

void SearchRules::sortLines(QStringList &lines)
{
    std::stable_sort(lines.begin(), lines.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

} // namespace mizro::lists
