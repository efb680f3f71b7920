#include "batch/InterruptSignals.h"

#include <chrono>
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

int CInterruptSignals::Run(const std::function<int()>& work, const std::function<void()>& onSignal,
                           const std::function<void()>& onGiveUp) {
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

    using Clock = std::chrono::steady_clock;
    Clock::time_point firstSignalAt;
    for (;;) {
        pollfd watched[2] = {{ended[0], POLLIN, 0}, {m_signalDescriptor, POLLIN, 0}};
        const int ready = ::poll(watched, 2, m_firstSignal ? kRepeatMilliseconds : -1);
        if (ready > 0 && (watched[0].revents & POLLIN))
            break;
        bool again = false;
        if (ready > 0 && (watched[1].revents & POLLIN)) {
            signalfd_siginfo info;
            while (::read(m_signalDescriptor, &info, sizeof info) == ssize_t(sizeof info)) {
                if (m_firstSignal == 0) {
                    m_firstSignal = int(info.ssi_signo);
                    firstSignalAt = Clock::now();
                } else {
                    again = true;
                }
            }
        }
        if (m_firstSignal == 0)
            continue;
        if (again ||
            Clock::now() - firstSignalAt >= std::chrono::milliseconds(kGraceMilliseconds)) {
            // The worker may be inside a driver call that never returns: nothing waits for it.
            onGiveUp();
            ::_exit(128 + m_firstSignal);
        }
        onSignal();
    }
    worker.join();
    ::close(ended[0]);
    ::close(ended[1]);
    return result;
}
