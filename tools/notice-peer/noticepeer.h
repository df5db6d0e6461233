#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

namespace mizro::tools {

/// A stand-in for the vendor's server on 127.0.0.1: answers the notice
/// exchange (three lines in, the chosen answer out) and the version exchange
/// (four lines beginning with "VER" in, the chosen lines out), and serves
/// chosen files over HTTP on a second port. Answers are bytes as they go on
/// the wire, so a test can send any code page; each line gets CR LF unless
/// told otherwise.
class NoticePeer : public QObject {
    Q_OBJECT
public:
    enum class Behaviour {
        Answer,         // answer, then wait for the client to close
        AnswerAndClose, // answer, then close
        Silent,         // accept, read, never answer, never close
    };

    explicit NoticePeer(QObject *parent = nullptr);
    ~NoticePeer() override;

    /// Port 0 picks free ports.
    bool listen(quint16 port = 0, quint16 httpPort = 0);
    quint16 port() const;
    quint16 httpPort() const;
    /// "127.0.0.1:port", as the setting GSRV (or GWEB) takes it.
    QString address() const;
    QString httpAddress() const;

    void setBehaviour(Behaviour behaviour) { m_behaviour = behaviour; }
    void setNoticeAnswer(const QList<QByteArray> &lines) { m_notice = lines; }
    void setVersionAnswer(const QList<QByteArray> &lines) { m_version = lines; }
    /// What follows each answer line; "" sends the lines as raw bytes.
    void setLineEnd(const QByteArray &end) { m_lineEnd = end; }
    /// The same in the Turkish Windows code page.
    static QList<QByteArray> encoded(const QStringList &lines);

    void serve(const QString &path, const QByteArray &body,
               const QByteArray &contentType = "application/octet-stream");
    void stopServing(const QString &path) { m_files.remove(path); }

    /// Everything each exchange connection sent, in order of connection.
    QList<QByteArray> received() const { return m_received; }
    int connections() const { return m_received.size(); }
    int openConnections() const { return m_open.size(); }
    QStringList httpRequests() const { return m_httpRequests; }

signals:
    void linesReceived();
    void connectionClosed();

private:
    void onExchangeConnection();
    void onExchangeData(QTcpSocket *socket, int index);
    void onHttpConnection();
    void onHttpData(QTcpSocket *socket);

    QTcpServer *m_server;
    QTcpServer *m_http;
    Behaviour m_behaviour = Behaviour::Answer;
    QList<QByteArray> m_notice;
    QList<QByteArray> m_version;
    QByteArray m_lineEnd = "\r\n";
    struct File {
        QByteArray body;
        QByteArray type;
    };
    QHash<QString, File> m_files;
    QList<QByteArray> m_received;
    QList<QTcpSocket *> m_open;
    QStringList m_httpRequests;
};

} // namespace mizro::tools
