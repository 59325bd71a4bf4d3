#include "unixsignalwatcher.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::atomic<int> signalWriteFd{-1};

extern "C" void writeSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const int fd = signalWriteFd.load();
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        // Non-blocking: when the pipe is full, the loop has enough to wake up for.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

UnixSignalWatcher::UnixSignalWatcher(QObject *parent)
    : QObject(parent)
{}

UnixSignalWatcher::~UnixSignalWatcher()
{
    for (const auto &[signalNumber, previous] : m_previousHandlers)
        ::sigaction(signalNumber, &previous, nullptr);
    if (m_pipe[1] >= 0) {
        int expected = m_pipe[1];
        signalWriteFd.compare_exchange_strong(expected, -1);
    }
    delete m_notifier;
    for (int fd : m_pipe) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool UnixSignalWatcher::watch(const QList<int> &signalNumbers)
{
    if (m_pipe[0] < 0) {
        if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return false;
        m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read);
        connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignalWatcher::readSignals);
        signalWriteFd.store(m_pipe[1]);
    }
    bool installed = true;
    for (int signalNumber : signalNumbers) {
        struct sigaction action
        {};
        action.sa_handler = writeSignalNumber;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        struct sigaction previous
        {};
        if (::sigaction(signalNumber, &action, &previous) == 0)
            m_previousHandlers.emplace_back(signalNumber, previous);
        else
            installed = false;
    }
    return installed;
}

void UnixSignalWatcher::readSignals()
{
    unsigned char buffer[32];
    ssize_t n;
    while ((n = ::read(m_pipe[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        for (ssize_t i = 0; i < n; ++i)
            Q_EMIT signalReceived(buffer[i]);
    }
}
