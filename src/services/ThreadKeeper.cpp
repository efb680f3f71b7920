#include "services/ThreadKeeper.h"

#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

CThreadKeeper& CThreadKeeper::Instance() {
    static CThreadKeeper keeper;
    return keeper;
}

CThreadKeeper::~CThreadKeeper() {
    const std::lock_guard lock(m_guard);
    DeleteEnded();
    // A thread still inside a driver call that never returns cannot be destroyed (Qt would end
    // the program) nor waited for (the program would never end): it goes with the process.
    for (std::unique_ptr<QThread>& thread : m_threads)
        static_cast<void>(thread.release());
}

void CThreadKeeper::Keep(std::unique_ptr<QThread> thread) {
    if (!thread)
        return;
    const std::lock_guard lock(m_guard);
    DeleteEnded();
    m_threads.push_back(std::move(thread));
}

void CThreadKeeper::Start(std::function<void()> job) {
    // What the job holds (a connection, say) goes on its thread as soon as it is done, not
    // whenever the thread object is deleted.
    std::unique_ptr<QThread> thread(QThread::create([job = std::move(job)]() mutable {
        job();
        job = nullptr;
    }));
    thread->start();
    Keep(std::move(thread));
}

int CThreadKeeper::Running() {
    const std::lock_guard lock(m_guard);
    DeleteEnded();
    return int(m_threads.size());
}

bool CThreadKeeper::WaitForAll(int milliseconds) {
    constexpr int kPollMilliseconds = 10;
    const QDeadlineTimer deadline(milliseconds);
    for (;;) {
        if (Running() == 0)
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(kPollMilliseconds);
    }
}

int CThreadKeeper::SettleBeforeExit(int exitCode, int graceMilliseconds) {
    if (WaitForAll(graceMilliseconds))
        return exitCode;
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void CThreadKeeper::DeleteEnded() {
    const auto ended = std::stable_partition(
        m_threads.begin(), m_threads.end(),
        [](const std::unique_ptr<QThread>& thread) { return !thread->isFinished(); });
    for (auto it = ended; it != m_threads.end(); ++it)
        (*it)->wait(); // it may still be leaving its finished signal
    m_threads.erase(ended, m_threads.end());
}
