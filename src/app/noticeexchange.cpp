#include "noticeexchange.h"

#include "lineclient.h"
#include "noticeview.h"
#include "updater.h"
#include "vendorserver.h"

#include "ui/messages.h"
#include "ui/session.h"

#include <QWidget>
#include <utility>

namespace mizro::app {

NoticeExchange::NoticeExchange(ui::Session &session, Updater &updater, NoticeView &view,
                               QWidget *window)
    : QObject(window), m_session(session), m_updater(updater), m_view(view), m_window(window),
      m_client(new LineClient(this))
{
    connect(m_client, &LineClient::lineRead, this, &NoticeExchange::onLine);
    // Closed or broken before the three lines: the exchange broke.
    connect(m_client, &LineClient::closedByServer, this, &NoticeExchange::fail);
    connect(m_client, &LineClient::failed, this, &NoticeExchange::fail);
}

void NoticeExchange::setTimeout(std::chrono::milliseconds timeout)
{
    m_client->setTimeout(timeout);
    m_view.setTimeout(timeout);
}

bool NoticeExchange::isRunning() const
{
    return m_state != State::Idle;
}

void NoticeExchange::start(const QString &kurum, const QString &version, Done done)
{
    if (isRunning())
        return;
    m_state = State::Talking;
    m_done = std::move(done);
    m_answer.clear();
    if (!m_client->start(vendorServer(), {kurum, productCode(), version}))
        fail();
}

void NoticeExchange::stop()
{
    fail();
}

void NoticeExchange::onLine(const QString &line)
{
    if (m_state != State::Talking)
        return;
    m_answer << line;
    if (m_answer.size() < 3)
        return;
    m_client->stop();
    m_view.setFixedHeight(NoticeView::ShownHeight);
    m_view.open(m_answer[1]);
    finish(m_answer[0].left(1), m_answer[2]);
}

void NoticeExchange::fail()
{
    if (m_state != State::Talking)
        return;
    m_client->stop();
    m_view.setFixedHeight(0);
    finish(QStringLiteral("2"), QStringLiteral("0"));
}

void NoticeExchange::finish(const QString &status, const QString &message)
{
    m_state = State::Finishing;
    const bool update = status == QStringLiteral("G");
    const bool say = !update && message != QStringLiteral("0");
    // Set before anything is shown: the window regains activation when a box
    // closes, and the routine must not run again by then.
    m_session.setStartupDone(update || say ? QStringLiteral("1") : QStringLiteral("0"));
    if (say)
        m_session.messages().information(m_window, message);
    if (update)
        m_updater.offer(m_window);
    m_state = State::Idle;
    // Taken first: done may start the next exchange.
    const Done done = std::exchange(m_done, nullptr);
    if (done)
        done();
}

} // namespace mizro::app
