#pragma once

#include <QString>

namespace mizro::app {

/// A server given as "host" or "host:port" (an IPv6 host in brackets when a
/// port follows it).
struct ServerAddress {
    QString host;
    quint16 port = 0;

    bool isValid() const { return !host.isEmpty() && port != 0; }
    /// An empty or malformed text gives an invalid address.
    static ServerAddress parse(const QString &text, quint16 defaultPort);
};

/// The vendor's server that both exchanges talk to: the per-user setting
/// GSRV, "host" or "host:port"; empty (the default) means none.
constexpr quint16 VendorPort = 1965;
ServerAddress vendorServer();
/// The web server the updater comes from: the setting GWEB, "host" or
/// "host:port", else GSRV's host; HTTP on port 80 unless given.
ServerAddress updateServer();
/// The product code the program gives the server and the updater.
inline QString productCode()
{
    return QStringLiteral("MZO");
}

} // namespace mizro::app
