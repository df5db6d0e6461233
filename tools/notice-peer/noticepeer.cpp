#include "noticepeer.h"

#include <QHostAddress>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>

namespace mizro::tools {

NoticePeer::NoticePeer(QObject *parent)
    : QObject(parent), m_server(new QTcpServer(this)), m_http(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &NoticePeer::onExchangeConnection);
    connect(m_http, &QTcpServer::newConnection, this, &NoticePeer::onHttpConnection);
}

NoticePeer::~NoticePeer()
{
    for (QTcpSocket *s : std::as_const(m_open))
        s->disconnect(this);
}

bool NoticePeer::listen(quint16 port, quint16 httpPort)
{
    return m_server->listen(QHostAddress::LocalHost, port) &&
           m_http->listen(QHostAddress::LocalHost, httpPort);
}

quint16 NoticePeer::port() const
{
    return m_server->serverPort();
}

quint16 NoticePeer::httpPort() const
{
    return m_http->serverPort();
}

QString NoticePeer::address() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

QString NoticePeer::httpAddress() const
{
    return QStringLiteral("127.0.0.1:%1").arg(httpPort());
}

QList<QByteArray> NoticePeer::encoded(const QStringList &lines)
{
    QStringEncoder encoder("windows-1254");
    QList<QByteArray> out;
    for (const QString &line : lines)
        out << QByteArray(encoder(line));
    return out;
}

void NoticePeer::serve(const QString &path, const QByteArray &body, const QByteArray &contentType)
{
    m_files.insert(path, {body, contentType});
}

void NoticePeer::onExchangeConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        const int index = static_cast<int>(m_received.size());
        m_received.append(QByteArray());
        m_open.append(socket);
        connect(socket, &QTcpSocket::readyRead, this,
                [this, socket, index] { onExchangeData(socket, index); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_open.removeAll(socket);
            socket->deleteLater();
            emit connectionClosed();
        });
    }
}

void NoticePeer::onExchangeData(QTcpSocket *socket, int index)
{
    QByteArray &in = m_received[index];
    in += socket->readAll();
    if (socket->property("answered").toBool())
        return;
    // The version exchange opens with "VER" and sends four lines, the
    // notice exchange three.
    const bool version = in.startsWith("VER\r\n") || in.startsWith("VER\n");
    if (in.count('\n') < (version ? 4 : 3))
        return;
    socket->setProperty("answered", true);
    emit linesReceived();
    if (m_behaviour == Behaviour::Silent)
        return;
    for (const QByteArray &line : version ? m_version : m_notice)
        socket->write(line + m_lineEnd);
    if (m_behaviour == Behaviour::AnswerAndClose)
        socket->disconnectFromHost();
}

void NoticePeer::onHttpConnection()
{
    while (QTcpSocket *socket = m_http->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onHttpData(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void NoticePeer::onHttpData(QTcpSocket *socket)
{
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = words.size() >= 2 ? QString::fromLatin1(words[1]) : QString();
    m_httpRequests << path;
    const auto file = m_files.constFind(path);
    QByteArray response;
    if (words.value(0) == "GET" && file != m_files.cend()) {
        response = "HTTP/1.1 200 OK\r\nContent-Type: " + file->type +
                   "\r\nContent-Length: " + QByteArray::number(file->body.size()) +
                   "\r\nConnection: close\r\n\r\n" + file->body;
    } else {
        response = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    }
    socket->write(response);
    socket->disconnectFromHost();
}

} // namespace mizro::tools
