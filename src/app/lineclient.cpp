#include "lineclient.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTcpSocket>
#include <QTimer>

namespace mizro::app {

namespace {

const char CodePage[] = "windows-1254";
// A server that never ends its line must not fill the memory.
constexpr qsizetype LongestLine = 64 * 1024;

} // namespace

LineClient::LineClient(QObject *parent)
    : QObject(parent), m_socket(new QTcpSocket(this)), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &LineClient::onTimeout);
    connect(m_socket, &QTcpSocket::connected, this, &LineClient::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &LineClient::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &LineClient::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &LineClient::onSocketError);
}

LineClient::~LineClient()
{
    // The socket aborts as it goes and would call back into a half-gone object.
    m_socket->disconnect(this);
    m_socket->abort();
}

QByteArray LineClient::encode(const QString &text)
{
    QStringEncoder encoder(CodePage);
    return encoder.isValid() ? QByteArray(encoder(text)) : QByteArray();
}

QString LineClient::decode(const QByteArray &bytes)
{
    QStringDecoder decoder(CodePage);
    return decoder.isValid() ? QString(decoder(bytes)) : QString();
}

bool LineClient::start(const ServerAddress &address, const QStringList &lines)
{
    stop();
    m_error.clear();
    if (!address.isValid()) {
        m_error = QStringLiteral("Sunucu adresi (GSRV) verilmemiş ya da geçersiz.");
        return false;
    }
    if (!QStringEncoder(CodePage).isValid()) {
        m_error = QStringLiteral("Bu sistemde %1 kod sayfası yok.").arg(QLatin1String(CodePage));
        return false;
    }
    m_pending.clear();
    for (const QString &line : lines)
        m_pending += encode(line) + "\r\n";
    m_active = true;
    restartTimer();
    m_socket->connectToHost(address.host, address.port);
    return true;
}

void LineClient::stop()
{
    m_active = false;
    m_timer->stop();
    m_buffer.clear();
    m_pending.clear();
    m_socket->abort();
}

void LineClient::restartTimer()
{
    m_timer->start(m_timeout);
}

void LineClient::onConnected()
{
    if (!m_active)
        return;
    m_socket->write(m_pending);
    m_pending.clear();
    restartTimer();
}

void LineClient::onReadyRead()
{
    m_buffer += m_socket->readAll();
    qsizetype end;
    while (m_active && (end = m_buffer.indexOf('\n')) >= 0) {
        QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        restartTimer();
        emit lineRead(decode(line));
    }
    if (m_active && m_buffer.size() > LongestLine)
        fail(QStringLiteral("Sunucudan gelen satır çok uzun."));
}

void LineClient::onDisconnected()
{
    if (!m_active)
        return;
    // Whatever came before the close still counts, a last line without its
    // LF too.
    m_buffer += m_socket->readAll();
    onReadyRead();
    if (!m_active)
        return;
    if (!m_buffer.isEmpty()) {
        const QString last = decode(m_buffer);
        m_buffer.clear();
        emit lineRead(last);
        if (!m_active)
            return;
    }
    m_active = false;
    m_timer->stop();
    emit closedByServer();
}

void LineClient::onSocketError()
{
    if (!m_active || m_socket->error() == QAbstractSocket::RemoteHostClosedError)
        return; // the disconnected signal tells the end
    fail(m_socket->errorString());
}

void LineClient::onTimeout()
{
    if (m_active)
        fail(QStringLiteral("Sunucu %1 saniye içinde yanıt vermedi.")
                 .arg(QLocale(QLocale::Turkish).toString(m_timeout.count() / 1000.0)));
}

void LineClient::fail(const QString &details)
{
    stop();
    m_error = details;
    emit failed(details);
}

} // namespace mizro::app
