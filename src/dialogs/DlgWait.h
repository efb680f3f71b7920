#pragma once

#include "runs/ComparisonProgress.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>

class CComparisonResults;
class QLabel;
class QProgressBar;
class QThread;
class QTimer;

// The modal dialog shown while a comparison runs on a worker thread. It relays the run's
// progress and the current table's name, lets the user ask for cancellation, and closes only
// once the worker thread has ended: with 1 after a successful run, 2 after a failed or cancelled
// one, 0 when the worker could not start.
class CDlgWait : public QDialog, public IComparisonProgress {
    Q_OBJECT

public:
    enum Kind : int { TableRun = 0, DictionaryRun = 1 };
    // What exec() gives: the worker could not start, the run succeeded, the run failed or was
    // cancelled.
    enum Result : int { NotStarted = 0, Succeeded = 1, Stopped = 2 };
    using Run = std::function<bool(IComparisonProgress&)>;

    // Runs RunTableComparison (kind 0) or RunDictionaryComparison (kind 1) of results; Cancel
    // also interrupts the statement the run is waiting for.
    CDlgWait(Kind kind, bool cancellable, CComparisonResults& results, QWidget* owner);
    // Runs any job that reports through the dialog; interrupt, when given, is called on the
    // user-interface thread when Cancel is pressed.
    CDlgWait(Kind kind, bool cancellable, Run run, QWidget* owner,
             std::function<void()> interrupt = {});
    ~CDlgWait() override;

    int exec() override;

    Kind RunKind() const { return m_kind; }
    bool IsCancelRequested() const { return m_cancelRequested; }

    // Called by the run on the worker thread; each waits until the dialog has handled it.
    void Progress(int range) override;
    int QueryCancel() override;
    void SetItemText(const QString& text) override;

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnEnd(bool succeeded);
    void OnRange(int range);
    void OnSteps(int steps);
    void OnTimer();

    Kind m_kind;
    bool m_cancellable;
    Run m_run;
    std::function<void()> m_interrupt;
    std::atomic<bool> m_cancelRequested{false};
    bool m_succeeded = false;
    std::unique_ptr<QThread> m_worker;
    QTimer* m_timer = nullptr;
    QLabel* m_itemText = nullptr;
    QProgressBar* m_bar = nullptr;

    // Worker side of the bar: steps reach the dialog when the bar can show them.
    qint64 m_range = 0;
    qint64 m_position = 0;
    qint64 m_shownPosition = 0;
};
