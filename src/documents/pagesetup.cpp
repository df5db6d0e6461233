#include "pagesetup.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPageSize>

namespace mizro::documents {

namespace {

QPageSize::PageSizeId sizeOf(const QString &paper)
{
    if (paper == QLatin1String("A5"))
        return QPageSize::A5;
    if (paper == QLatin1String("Letter"))
        return QPageSize::Letter;
    return QPageSize::A4;
}

double margin(const QJsonObject &o, const char *name, double fallback)
{
    const QJsonValue v = o.value(QLatin1String(name));
    return v.isDouble() && v.toDouble() >= 0 && v.toDouble() <= 80 ? v.toDouble() : fallback;
}

} // namespace

QStringList PageSetup::papers()
{
    return {QStringLiteral("A4"), QStringLiteral("A5"), QStringLiteral("Letter")};
}

QPageLayout PageSetup::pageLayout() const
{
    return QPageLayout(QPageSize(sizeOf(paper)),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(left, top, right, bottom), QPageLayout::Millimeter);
}

QByteArray PageSetup::toJson() const
{
    QJsonObject o;
    o.insert(QStringLiteral("paper"), paper);
    o.insert(QStringLiteral("orientation"),
             landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));
    o.insert(QStringLiteral("left"), left);
    o.insert(QStringLiteral("top"), top);
    o.insert(QStringLiteral("right"), right);
    o.insert(QStringLiteral("bottom"), bottom);
    o.insert(QStringLiteral("header"), header);
    o.insert(QStringLiteral("footer"), footer);
    o.insert(QStringLiteral("fontFamily"), fontFamily);
    o.insert(QStringLiteral("fontSize"), fontSize);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

PageSetup PageSetup::fromJson(const QByteArray &json)
{
    PageSetup s;
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    const QString paper = o.value(QStringLiteral("paper")).toString();
    if (papers().contains(paper))
        s.paper = paper;
    s.landscape = o.value(QStringLiteral("orientation")).toString() == QLatin1String("landscape");
    s.left = margin(o, "left", s.left);
    s.top = margin(o, "top", s.top);
    s.right = margin(o, "right", s.right);
    s.bottom = margin(o, "bottom", s.bottom);
    s.header = o.value(QStringLiteral("header")).toString().left(500);
    s.footer = o.value(QStringLiteral("footer")).toString().left(500);
    const QString family = o.value(QStringLiteral("fontFamily")).toString();
    if (!family.isEmpty())
        s.fontFamily = family.left(100);
    const double size = o.value(QStringLiteral("fontSize")).toDouble();
    if (size >= 4 && size <= 96)
        s.fontSize = size;
    return s;
}

} // namespace mizro::documents
