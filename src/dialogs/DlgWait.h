#pragma once

#include "runs/ComparisonProgress.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class CComparisonResults;
class QLabel;
class QProgressBar;
class QThread;
class QTimer;

// The modal dialog shown while a comparison runs on a worker thread. It relays the run's
// progress and the current table's name, lets the user ask for cancellation, and closes once the
// worker thread has ended: with 1 after a successful run, 2 after a failed or cancelled one, 0
// when the worker could not start. A run that has not ended a moment after Cancel because a
// driver call holds it (a stopped server, a cut network) is given up instead: the connection
// held is abandoned, the dialog closes with 2 at once, and the worker is left to end on its own.
class CDlgWait : public QDialog, public IComparisonProgress {
    Q_OBJECT

public:
    // A snapshot being taken says so in place of the comparison.
    enum Kind : int { TableRun = 0, DictionaryRun = 1, Snapshot = 2 };
    // What exec() gives: the worker could not start, the run succeeded, the run failed or was
    // cancelled.
    enum Result : int { NotStarted = 0, Succeeded = 1, Stopped = 2 };
    using Run = std::function<bool(IComparisonProgress&)>;
    // How Cancel reaches what the run waits for. interrupt is called on the user-interface
    // thread at the first Cancel, and the job it gives is done on a thread of its own, since a
    // driver's cancel may itself wait for the server. abandon is called when the run has not
    // ended a moment later: it gives up the connections that a driver call holds, if any.
    struct Stopping {
        std::function<std::function<void()>()> interrupt;
        std::function<std::vector<CAbandonedConnection>()> abandon;
    };

    // Runs RunTableComparison (kind 0) or RunDictionaryComparison (kind 1) of results; Cancel
    // also interrupts the statement the run is waiting for, or gives up its connection.
    CDlgWait(Kind kind, bool cancellable, CComparisonResults& results, QWidget* owner);
    // Runs any job that reports through the dialog.
    CDlgWait(Kind kind, bool cancellable, Run run, QWidget* owner, Stopping stopping = {});
    ~CDlgWait() override;

    int exec() override;

    Kind RunKind() const { return m_kind; }
    bool IsCancelRequested() const { return m_cancelRequested; }
    // The data sources whose connection was abandoned when the run was given up.
    const QStringList& AbandonedDataSources() const { return m_abandoned; }

    // Called by the run on the worker thread; each waits until the dialog has handled it.
    void Progress(int range) override;
    int QueryCancel() override;
    void SetItemText(const QString& text) override;
    void ShowBusy(const QString& what) override;

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct WorkerShare;
    // The worker thread's whole work; it may outlive the dialog, so it reaches it only through
    // the share.
    static void Work(WorkerShare& share, const Run& run, IComparisonProgress& progress);
    void OnEnd(bool succeeded);
    void OnRange(int range);
    void OnSteps(int steps);
    void OnTimer();
    void GiveUpRun();

    Kind m_kind;
    bool m_cancellable;
    Run m_run;
    Stopping m_stopping;
    std::atomic<bool> m_cancelRequested{false};
    QElapsedTimer m_sinceCancel;
    bool m_ended = false;
    bool m_succeeded = false;
    QStringList m_abandoned;
    std::shared_ptr<WorkerShare> m_share;
    std::unique_ptr<QThread> m_worker;
    QTimer* m_timer = nullptr;
    QLabel* m_itemText = nullptr;
    QProgressBar* m_bar = nullptr;

    // Worker side of the bar: steps reach the dialog when the bar can show them.
    qint64 m_range = 0;
    // The range the bar shows again after a busy time (user-interface side).
    int m_barRange = 0;
    qint64 m_position = 0;
    qint64 m_shownPosition = 0;
};
