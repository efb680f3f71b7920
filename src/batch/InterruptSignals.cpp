#include "batch/InterruptSignals.h"

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {
constexpr int kRepeatMilliseconds = 200;

sigset_t InterruptSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}
} // namespace

CInterruptSignals::CInterruptSignals() {
    const sigset_t set = InterruptSet();
    pthread_sigmask(SIG_BLOCK, &set, &m_previousMask);
    m_signalDescriptor = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    // Without the descriptor nobody would read them: they keep their default action.
    if (m_signalDescriptor < 0)
        pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

CInterruptSignals::~CInterruptSignals() {
    if (m_signalDescriptor >= 0)
        ::close(m_signalDescriptor);
    pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

int CInterruptSignals::Run(const std::function<int()>& work,
                           const std::function<void()>& onSignal) {
    int ended[2];
    if (m_signalDescriptor < 0 || ::pipe2(ended, O_CLOEXEC) != 0) {
        pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
        return work();
    }
    int result = 0;
    std::thread worker([&] {
        result = work();
        const char done = 1;
        [[maybe_unused]] const ssize_t written = ::write(ended[1], &done, 1);
    });

    bool signalled = false;
    for (;;) {
        pollfd watched[2] = {{ended[0], POLLIN, 0}, {m_signalDescriptor, POLLIN, 0}};
        const int ready =
            ::poll(watched, m_signalDescriptor >= 0 ? 2 : 1, signalled ? kRepeatMilliseconds : -1);
        if (ready > 0 && (watched[0].revents & POLLIN))
            break;
        if (ready > 0 && (watched[1].revents & POLLIN)) {
            signalfd_siginfo info;
            while (::read(m_signalDescriptor, &info, sizeof info) == ssize_t(sizeof info)) {
            }
            signalled = true;
        }
        if (signalled)
            onSignal();
    }
    worker.join();
    ::close(ended[0]);
    ::close(ended[1]);
    return result;
}
