#pragma once

#include <QObject>

class QSocketNotifier;

namespace mizro::app {

/// A logout, a shutdown or Ctrl+C (SIGTERM, SIGHUP, SIGINT) reaches the
/// event loop as received(), so the program ends through its close routine.
///
/// The embedded engine puts handlers of its own on SIGINT and SIGTERM when
/// the process first attaches a database: they shut the engine down and leave
/// the window open on a dead connection. And a handler of any kind lets the
/// signal land in one of the engine's threads, after which detaching was seen
/// to hang for good. So the signals are blocked in every thread (block()
/// runs before any thread exists) and read from a signal descriptor instead:
/// no handler, the engine's or ours, ever runs.
///
/// A child process inherits the blocked signals; whoever starts one unblocks
/// them in it (unblockInChild(), for QProcess::setChildProcessModifier).
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    /// Blocks the signals in the calling thread and in every thread it
    /// starts from now on. Call first thing in main().
    static void block();
    static void unblockInChild();

    /// Needs block() to have run and an event loop to deliver.
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

signals:
    void received(int signal);

private:
    void readSignal();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace mizro::app
