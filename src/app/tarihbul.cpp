#include "tarihbul.h"

#include <QStringList>

namespace mizro::app {

QString monthName(int month)
{
    static const QStringList names = {
        QStringLiteral("OCAK"),   QStringLiteral("ŞUBAT"),   QStringLiteral("MART"),
        QStringLiteral("NİSAN"),  QStringLiteral("MAYIS"),   QStringLiteral("HAZİRAN"),
        QStringLiteral("TEMMUZ"), QStringLiteral("AĞUSTOS"), QStringLiteral("EYLÜL"),
        QStringLiteral("EKİM"),   QStringLiteral("KASIM"),   QStringLiteral("ARALIK")};
    return month >= 1 && month <= 12 ? names[month - 1] : QString();
}

TarihParts tarihBul(const QDate &date)
{
    TarihParts p;
    if (!date.isValid())
        return p;
    p.day = date.day();
    p.month = date.month();
    p.year = date.year();
    p.monthName = monthName(p.month);
    p.valid = true;
    return p;
}

TarihParts tarihBul(const QString &text)
{
    for (const char *format : {"dd/MM/yyyy", "d/M/yyyy", "dd.MM.yyyy", "d.M.yyyy"}) {
        const QDate d = QDate::fromString(text.trimmed(), QLatin1String(format));
        if (d.isValid())
            return tarihBul(d);
    }
    return {};
}

QString dateLine(const QDate &date)
{
    const TarihParts p = tarihBul(date);
    if (!p.valid)
        return QString();
    return QStringLiteral("%1-%2(%3)-%4").arg(p.day).arg(p.monthName).arg(p.month).arg(p.year);
}

} // namespace mizro::app
