#include "terminationsignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace mizro::app {

namespace {

sigset_t terminationSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGTERM, SIGHUP, SIGINT})
        sigaddset(&set, s);
    return set;
}

} // namespace

void TerminationSignals::block()
{
    const sigset_t set = terminationSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void TerminationSignals::unblockInChild()
{
    const sigset_t set = terminationSet();
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    const sigset_t set = terminationSet();
    m_fd = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
}

TerminationSignals::~TerminationSignals()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void TerminationSignals::readSignal()
{
    signalfd_siginfo info = {};
    if (::read(m_fd, &info, sizeof info) == ssize_t(sizeof info))
        emit received(int(info.ssi_signo));
}

} // namespace mizro::app
