#pragma once

#include <QList>
#include <QObject>

#include <utility>
#include <vector>

#include <csignal>

class QSocketNotifier;

// Turns process signals (SIGTERM from the session or a service manager, SIGINT from a terminal,
// SIGHUP when the terminal goes) into a Qt signal on the main thread. The handler only writes
// the signal's number into a pipe, which is all a signal handler may safely do; the event loop
// reads it. One watcher at a time; the previous handlers come back when it goes.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalWatcher(QObject *parent = nullptr);
    ~UnixSignalWatcher() override;

    // False when the pipe or a handler could not be set up.
    bool watch(const QList<int> &signalNumbers);

Q_SIGNALS:
    void signalReceived(int signalNumber);

private:
    void readSignals();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    std::vector<std::pair<int, struct sigaction>> m_previousHandlers;
};
