#include "platform/SignalWatcher.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace platform {

namespace {

// The handler may only touch what is safe in a signal handler: the pipe's write end.
std::atomic<int> g_writeFd{-1};
int g_readFd = -1;
struct sigaction g_previousInt {};
struct sigaction g_previousTerm {};
struct sigaction g_previousHup {};

// Bytes on the pipe: a signal number, or kWakeByte.
constexpr unsigned char kWakeByte = 0xFF;

void WriteByte(unsigned char byte) {
    const int fd = g_writeFd.load();
    if (fd < 0) return;
    const int saved = errno;
    // A full pipe already holds enough to wake the reader.
    while (::write(fd, &byte, 1) < 0 && errno == EINTR) {
    }
    errno = saved;
}

void OnSignal(int signal) { WriteByte(static_cast<unsigned char>(signal)); }

}  // namespace

SignalWatcher::SignalWatcher() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    g_readFd = fds[0];
    g_writeFd.store(fds[1]);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_ready = ::sigaction(SIGINT, &action, &g_previousInt) == 0 &&
              ::sigaction(SIGTERM, &action, &g_previousTerm) == 0 &&
              ::sigaction(SIGHUP, &action, &g_previousHup) == 0;
}

SignalWatcher::~SignalWatcher() {
    ::sigaction(SIGINT, &g_previousInt, nullptr);
    ::sigaction(SIGTERM, &g_previousTerm, nullptr);
    ::sigaction(SIGHUP, &g_previousHup, nullptr);
    const int writeFd = g_writeFd.exchange(-1);
    if (writeFd >= 0) ::close(writeFd);
    if (g_readFd >= 0) ::close(g_readFd);
    g_readFd = -1;
}

SignalWatcher::Event SignalWatcher::Wait(int timeoutMs) {
    if (g_readFd < 0) {
        // Without the pipe no signal can be seen; still wait, so callers that poll in a loop
        // do not spin.
        ::poll(nullptr, 0, timeoutMs);
        return Event::Timeout;
    }
    pollfd pfd{g_readFd, POLLIN, 0};
    if (!m_wakePending) {
        const int ready = ::poll(&pfd, 1, timeoutMs);
        if (ready <= 0) return Event::Timeout;
    }
    unsigned char bytes[64];
    const ssize_t count = ::read(g_readFd, bytes, sizeof bytes);
    int signal = 0;
    for (ssize_t i = 0; i < count; ++i) {
        if (bytes[i] == kWakeByte) {
            m_wakePending = true;
        } else if (signal == 0) {
            signal = bytes[i];
        }
    }
    if (signal != 0) {
        m_lastSignal = signal;
        return Event::Signal;
    }
    if (m_wakePending) {
        m_wakePending = false;
        return Event::Wake;
    }
    return Event::Timeout;
}

void SignalWatcher::Wake() { WriteByte(kWakeByte); }

}  // namespace platform
