#include "placeholdermerge.h"

#include "db/dataset.h"

#include <QDate>
#include <QTextCursor>
#include <QTextDocument>
#include <QTime>

namespace mizro::documents {

namespace {

constexpr int GroupSize = 5;
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

QStringList PlaceholderMerge::memberGroups(const QVector<MergeValues::Member> &members)
{
    QStringList groups(GroupCount);
    for (qsizetype i = 0; i < members.size() && i < GroupSize * GroupCount; ++i)
        groups[i / GroupSize] +=
            members[i].name + QStringLiteral(" - ") + members[i].title + QLatin1Char('\r');
    return groups;
}

void PlaceholderMerge::run(const MergeValues &values, const Replace &replace)
{
    const QStringList names = placeholders();
    const QVariant single[] = {values.date,        values.decisionNumber, values.meetingNumber,
                               values.orderNumber, values.time,           values.summary};
    for (int i = 0; i < 6; ++i)
        replace(names[i], text(single[i]));
    const QStringList groups = memberGroups(values.members);
    for (int g = 0; g < GroupCount; ++g)
        replace(names[6 + g], groups[g]);
}

void PlaceholderMerge::run(const MergeValues &values, QTextDocument &document)
{
    run(values, [&document](const QString &placeholder, const QString &value) {
        return replaceLast(document, placeholder, value);
    });
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
