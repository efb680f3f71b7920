#pragma once

#include <functional>

#include <signal.h>

// Ctrl+C and SIGTERM for a program whose work runs on a thread of its own: the signals are
// blocked in every thread and read from a descriptor by the thread that waits for the work, so
// that what they do (cancelling queries, for one) runs as ordinary code, never in a handler.
// A driver call may never return (a stopped server, a lost network): a second signal, or the
// first one left unanswered for two seconds, ends the process at once.
class CInterruptSignals {
public:
    static constexpr int kGraceMilliseconds = 2000;

    // Blocks SIGINT and SIGTERM in the calling thread and in every thread it starts afterwards.
    CInterruptSignals();
    ~CInterruptSignals();
    CInterruptSignals(const CInterruptSignals&) = delete;
    CInterruptSignals& operator=(const CInterruptSignals&) = delete;

    // Runs work on a new thread and returns its result. On the first signal, and again every
    // 200 ms until the work ends (a cancel can race with the start of a query), onSignal runs on
    // the calling thread. When the work does not end in time, onGiveUp runs and the process
    // ends with 128 + the signal's number, whatever the work is doing.
    int Run(const std::function<int()>& work, const std::function<void()>& onSignal,
            const std::function<void()>& onGiveUp);

private:
    sigset_t m_previousMask;
    int m_signalDescriptor = -1;
    int m_firstSignal = 0;
};
