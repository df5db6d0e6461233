#pragma once

#include "vendorserver.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <chrono>

class QTcpSocket;
class QTimer;

namespace mizro::app {

/// One line-based exchange with the vendor's server: connect, send lines,
/// then hand over every line read. Text travels in the Turkish Windows code
/// page; lines sent end in CR LF, a line read ends at LF (a CR before it is
/// dropped). Nothing blocks: the caller hears of lines and of the end through
/// signals, so the windows keep working while the server takes its time.
class LineClient : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultTimeout{10000};

    explicit LineClient(QObject *parent = nullptr);
    ~LineClient() override;

    /// How long the connect and each line read may take.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    /// Drops any earlier connection and starts a new exchange. Returns false
    /// (and says why in error()) when no connection can even be tried.
    bool start(const ServerAddress &address, const QStringList &lines);
    /// Drops the connection; nothing more is signalled for this exchange.
    void stop();
    bool isActive() const { return m_active; }
    QString error() const { return m_error; }

    static QByteArray encode(const QString &text);
    static QString decode(const QByteArray &bytes);

signals:
    void lineRead(const QString &line);
    /// The server closed the connection; every line it sent was handed over.
    void closedByServer();
    /// Unreachable, broken or silent for too long; details in English or
    /// Turkish as the system gives them.
    void failed(const QString &details);

private:
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onSocketError();
    void onTimeout();
    void fail(const QString &details);
    void restartTimer();

    QTcpSocket *m_socket;
    QTimer *m_timer;
    std::chrono::milliseconds m_timeout = DefaultTimeout;
    QByteArray m_pending; // the lines to send once connected
    QByteArray m_buffer;  // bytes read, not yet a whole line
    QString m_error;
    bool m_active = false;
};

} // namespace mizro::app
