#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QThread;

// Threads that nobody waits for: a comparison's worker given up while a driver call held it, or
// a driver's cancel, which may itself wait for a server that does not answer. Each is kept until
// it has ended and deleted after; one still running when the program ends is left to the end of
// the process, never destroyed while it runs and never waited for.
class CThreadKeeper {
public:
    // The program's keeper, which lasts until the process ends.
    static CThreadKeeper& Instance();

    CThreadKeeper() = default;
    ~CThreadKeeper();
    CThreadKeeper(const CThreadKeeper&) = delete;
    CThreadKeeper& operator=(const CThreadKeeper&) = delete;

    // Takes a started thread over.
    void Keep(std::unique_ptr<QThread> thread);
    // Does job on a thread of its own, kept here.
    void Start(std::function<void()> job);
    // How many of the kept threads still run.
    int Running();
    // Waits up to milliseconds for every kept thread to end; true when none runs.
    bool WaitForAll(int milliseconds);
    // At the end of main, before anything global is torn down: gives the kept threads a moment
    // to end and returns exitCode; a thread still running after it would meet the driver
    // manager and the application object destroyed under it, so the process then ends at once
    // with exitCode, its output flushed and no destructor run.
    int SettleBeforeExit(int exitCode, int graceMilliseconds = 2000);

private:
    // Deletes the threads that have ended; the guard is held.
    void DeleteEnded();

    std::mutex m_guard;
    std::vector<std::unique_ptr<QThread>> m_threads;
};
