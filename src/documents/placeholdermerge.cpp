#include "placeholdermerge.h"

#include "db/dataset.h"

#include <QDate>
#include <QTextCursor>
#include <QTextDocument>
#include <QTime>

namespace mizro::documents {

namespace {

constexpr int GroupCount = 3;

} // namespace

MergeValues MergeValues::fromRows(const db::DataSet &decision, const QVariant &meetingNumber,
                                  const db::DataSet *attendance)
{
    MergeValues v;
    v.date = decision.value(QStringLiteral("TARIH"));
    v.decisionNumber = decision.value(QStringLiteral("KARNO"));
    v.meetingNumber = meetingNumber;
    v.orderNumber = decision.value(QStringLiteral("SNO"));
    v.time = decision.value(QStringLiteral("SAAT"));
    v.summary = decision.value(QStringLiteral("OZET"));
    if (attendance)
        for (int r = 0; r < attendance->count(); ++r)
            v.members.append({attendance->rowValue(r, QStringLiteral("ADSOY")).toString(),
                              attendance->rowValue(r, QStringLiteral("UNVANI")).toString()});
    return v;
}

QStringList PlaceholderMerge::placeholders()
{
    return {QStringLiteral("[TARIH]"),  QStringLiteral("[KARNO]"),   QStringLiteral("[OTRNO]"),
            QStringLiteral("[SIRNO]"),  QStringLiteral("[SAAT]"),    QStringLiteral("[OZET]"),
            QStringLiteral("[UYELER]"), QStringLiteral("[UYELER1]"), QStringLiteral("[UYELER2]")};
}

QString PlaceholderMerge::text(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    default:
        return value.toString();
    }
}

QStringList PlaceholderMerge::memberGroups(const QVector<MergeValues::Member> &members, Style style)
{
    const bool classic = style != Style::SingleScreen;
    const qsizetype size = classic ? 8 : 5;
    const QChar end = classic ? QLatin1Char(' ') : QLatin1Char('\r');
    QStringList groups(GroupCount);
    for (qsizetype i = 0; i < members.size() && i < size * GroupCount; ++i)
        groups[i / size] += members[i].name + QStringLiteral(" - ") + members[i].title + end;
    return groups;
}

QString PlaceholderMerge::allMembers(const QVector<MergeValues::Member> &members)
{
    QString all;
    for (const MergeValues::Member &m : members)
        all += m.name + QLatin1Char(' ') + m.title + QLatin1Char(' ');
    return all;
}

void PlaceholderMerge::run(const MergeValues &values, const Replace &replace, Style style)
{
    const QStringList names = placeholders();
    const QVariant single[] = {values.date,        values.decisionNumber, values.meetingNumber,
                               values.orderNumber, values.time,           values.summary};
    for (int i = 0; i < 6; ++i)
        // The committee's classic editor leaves the meeting number in the text.
        if (style != Style::ClassicCommittee || names[i] != QStringLiteral("[OTRNO]"))
            replace(names[i], text(single[i]));
    if (style == Style::ClassicCouncil)
        replace(names[6], allMembers(values.members));
    const QStringList groups = memberGroups(values.members, style);
    for (int g = 0; g < GroupCount; ++g)
        replace(names[6 + g], groups[g]);
}

void PlaceholderMerge::run(const MergeValues &values, QTextDocument &document, Style style)
{
    run(
        values,
        [&document](const QString &placeholder, const QString &value) {
            return replaceLast(document, placeholder, value);
        },
        style);
}

bool PlaceholderMerge::replaceLast(QTextDocument &document, const QString &placeholder,
                                   const QString &text)
{
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    QTextCursor found = document.find(
        placeholder, end, QTextDocument::FindBackward | QTextDocument::FindCaseSensitively);
    if (found.isNull())
        return false;
    QTextCursor first(&document);
    first.setPosition(found.selectionStart() + 1);
    found.insertText(text, first.charFormat());
    return true;
}

} // namespace mizro::documents
