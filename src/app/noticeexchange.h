#pragma once

#include <QObject>
#include <QStringList>
#include <chrono>
#include <functional>

class QWidget;

namespace mizro::ui {
class Session;
}

namespace mizro::app {

class LineClient;
class NoticeView;
class Updater;

/// TARAYICI, at the end of every run of the activation routine: the program
/// tells the vendor's server the municipality, the product and its version;
/// the server answers with a status ("G": a newer version exists), a notice
/// address for the status panel and a message ("0": none). A server that
/// cannot be reached, breaks off or stays silent counts as unreachable: the
/// notice is hidden and nothing is said.
class NoticeExchange : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void()>;

    NoticeExchange(ui::Session &session, Updater &updater, NoticeView &view, QWidget *window);

    void setTimeout(std::chrono::milliseconds timeout);

    /// Starts the exchange and returns at once; done is called when it has
    /// ended, however it ended. A start while one is under way is ignored.
    void start(const QString &kurum, const QString &version, Done done);
    /// Gives up an exchange under way as if the server were unreachable.
    void stop();
    bool isRunning() const;

private:
    void onLine(const QString &line);
    void fail();
    void finish(const QString &status, const QString &message);

    ui::Session &m_session;
    Updater &m_updater;
    NoticeView &m_view;
    QWidget *m_window;
    LineClient *m_client;
    QStringList m_answer;
    Done m_done;
    enum class State { Idle, Talking, Finishing } m_state = State::Idle;
};

} // namespace mizro::app
