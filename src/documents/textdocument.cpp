#include "textdocument.h"

#include <QBuffer>
#include <QImage>
#include <QUrl>

namespace mizro::documents {

QString TextDocument::imageUri(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

QVariant TextDocument::loadResource(int type, const QUrl &name)
{
    if (type != QTextDocument::ImageResource || name.scheme() != QLatin1String("data"))
        return QVariant();
    // data:[<type>][;base64],<bytes>
    const QByteArray uri = name.toString(QUrl::FullyEncoded).toLatin1();
    const qsizetype comma = uri.indexOf(',');
    if (comma < 0)
        return QVariant();
    const QByteArray head = uri.mid(5, comma - 5);
    QByteArray payload = QByteArray::fromPercentEncoding(uri.mid(comma + 1));
    if (head.endsWith(";base64"))
        payload = QByteArray::fromBase64(payload);
    QImage image;
    // Pictures of absurd size are not decoded (a forged header).
    if (payload.size() > 32 * 1024 * 1024 || !image.loadFromData(payload))
        return QVariant();
    return image;
}

} // namespace mizro::documents
