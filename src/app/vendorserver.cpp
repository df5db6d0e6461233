#include "vendorserver.h"

#include "settings.h"

#include <QSettings>

namespace mizro::app {

ServerAddress ServerAddress::parse(const QString &text, quint16 defaultPort)
{
    const QString t = text.trimmed();
    QString host = t;
    QString port;
    bool hasPort = false;
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype end = t.indexOf(QLatin1Char(']'));
        if (end < 0)
            return {};
        host = t.mid(1, end - 1);
        const QString rest = t.mid(end + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return {};
            port = rest.mid(1);
            hasPort = true;
        }
    } else if (t.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = t.indexOf(QLatin1Char(':'));
        host = t.left(colon);
        port = t.mid(colon + 1);
        hasPort = true;
    }
    // Blanks inside a host name would only fail later, less clearly.
    if (host.isEmpty() || host.contains(QLatin1Char(' ')))
        return {};
    ServerAddress a;
    a.host = host;
    a.port = defaultPort;
    if (hasPort) {
        bool ok = false;
        const uint n = port.toUInt(&ok);
        if (!ok || n == 0 || n > 65535)
            return {};
        a.port = static_cast<quint16>(n);
    }
    return a;
}

namespace {
QString setting(const char *name)
{
    return QSettings(QStringLiteral("RUFA"), programName()).value(QLatin1String(name)).toString();
}
} // namespace

ServerAddress vendorServer()
{
    return ServerAddress::parse(setting("GSRV"), VendorPort);
}

ServerAddress updateServer()
{
    const QString web = setting("GWEB");
    if (!web.trimmed().isEmpty())
        return ServerAddress::parse(web, 80);
    ServerAddress a = vendorServer();
    if (a.isValid())
        a.port = 80;
    return a;
}

} // namespace mizro::app
