#include "dialogs/DlgWait.h"

#include "odbc/OdbcConnection.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"
#include "services/ThreadKeeper.h"
#include "ui/TemplateBuilder.h"
#include "ui/WarningBeep.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <mutex>

namespace {
constexpr int kTemplate = 1006;
constexpr int kHeading = 5064;
constexpr int kItemText = 5065;
constexpr int kProgressBar = 5063;
constexpr int kCancelButton = 2;
constexpr int kSnapshotHeadingText = 1225;
constexpr int kEndPollMilliseconds = 100;
// After Cancel the run has this long to notice it and end before the dialog gives it up, and
// the dialog looks at it this often meanwhile: closed within a second either way.
constexpr qint64 kGiveUpMilliseconds = 700;
constexpr int kCancelPollMilliseconds = 50;
// The bar cannot show finer steps than this share of its range.
constexpr qint64 kVisibleSteps = 1000;
} // namespace

// What the worker thread and the dialog share: the worker may outlive the dialog.
struct CDlgWait::WorkerShare {
    std::mutex guard;
    // Null once the dialog has given the worker up or has gone.
    CDlgWait* dialog = nullptr;
    bool ended = false;
    // Connections given up with the run, let go by the worker as it ends.
    std::vector<CAbandonedConnection> abandoned;
};

CDlgWait::CDlgWait(Kind kind, bool cancellable, CComparisonResults& results, QWidget* owner)
    : CDlgWait(kind, cancellable,
               [kind, &results](IComparisonProgress& progress) {
                   return kind == DictionaryRun ? results.RunDictionaryComparison(progress)
                                                : results.RunTableComparison(progress);
               },
               owner,
               {[&results] { return results.BeginInterrupt(); },
                [&results] { return results.AbandonStuckConnections(); }}) {}

CDlgWait::CDlgWait(Kind kind, bool cancellable, Run run, QWidget* owner, Stopping stopping)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint), m_kind(kind),
      m_cancellable(cancellable), m_run(std::move(run)), m_stopping(std::move(stopping)) {
    setModal(true);
    CTemplateBuilder::Build(*this, MapResourceId(kTemplate));
    if (auto* heading = CTemplateBuilder::Find<QLabel>(*this, kHeading);
        heading && kind == Snapshot)
        heading->setText(LoadLocalizedString(kSnapshotHeadingText));
    m_itemText = CTemplateBuilder::Find<QLabel>(*this, kItemText);
    m_bar = CTemplateBuilder::Find<QProgressBar>(*this, kProgressBar);
    if (m_bar) {
        m_bar->setValue(0); // a new bar reads -1 until it has a value
        m_bar->hide();
    }
    if (auto* cancel = CTemplateBuilder::Find<QPushButton>(*this, kCancelButton))
        connect(cancel, &QPushButton::clicked, this, &CDlgWait::reject);
    setFixedSize(size());

    m_timer = new QTimer(this);
    m_timer->setInterval(kEndPollMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &CDlgWait::OnTimer);
}

CDlgWait::~CDlgWait() {
    if (m_share) {
        const std::lock_guard lock(m_share->guard);
        m_share->dialog = nullptr;
    }
    // exec() returns only after the worker has ended or was given up; this covers a dialog
    // destroyed otherwise.
    if (m_worker)
        m_worker->wait();
}

int CDlgWait::exec() {
    if (!m_run || m_worker)
        return NotStarted;
    m_share = std::make_shared<WorkerShare>();
    m_share->dialog = this;
    // The worker holds the share and its own copy of the run, which outlive a dialog that gives
    // it up.
    m_worker.reset(QThread::create(
        [share = m_share, run = m_run, progress = static_cast<IComparisonProgress*>(this)] {
            Work(*share, run, *progress);
        }));
    m_worker->start();
    if (!m_worker->isRunning() && !m_worker->isFinished())
        return NotStarted;
    return QDialog::exec();
}

void CDlgWait::Work(WorkerShare& share, const Run& run, IComparisonProgress& progress) {
    // Nothing may escape the worker: an exception there would end the program.
    bool succeeded = false;
    try {
        succeeded = run(progress);
    } catch (const COdbcAbandoned&) {
        // Given up inside a driver call: the run has left everything as it was, and the dialog
        // has gone on without it.
    } catch (const std::exception&) {
        succeeded = false;
    }
    std::vector<CAbandonedConnection> abandoned;
    {
        const std::lock_guard lock(share.guard);
        share.ended = true;
        if (CDlgWait* dialog = share.dialog)
            QMetaObject::invokeMethod(
                dialog, [dialog, succeeded] { dialog->OnEnd(succeeded); }, Qt::QueuedConnection);
        abandoned.swap(share.abandoned);
    }
    // The call that held them has returned: they are closed here, away from the window.
    abandoned.clear();
}

void CDlgWait::Progress(int range) {
    if (range > 0) {
        m_range = range;
        m_position = 0;
        m_shownPosition = 0;
        QMetaObject::invokeMethod(
            this, [this, range] { OnRange(range); }, Qt::BlockingQueuedConnection);
        return;
    }
    // Hundreds of thousands of rows step the bar one by one: only the steps that move it by a
    // visible amount wait for the dialog.
    ++m_position;
    const qint64 granularity = std::max<qint64>(1, m_range / kVisibleSteps);
    if (m_position - m_shownPosition >= granularity || m_position >= m_range) {
        const int steps = int(m_position - m_shownPosition);
        m_shownPosition = m_position;
        QMetaObject::invokeMethod(
            this, [this, steps] { OnSteps(steps); }, Qt::BlockingQueuedConnection);
    }
}

int CDlgWait::QueryCancel() {
    // Written by the user-interface thread when Cancel is pressed; read here once per row.
    return m_cancellable && m_cancelRequested ? 1 : 0;
}

void CDlgWait::SetItemText(const QString& text) {
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            if (m_itemText)
                m_itemText->setText(text);
        },
        Qt::BlockingQueuedConnection);
}

void CDlgWait::ShowBusy(const QString& what) {
    QMetaObject::invokeMethod(
        this,
        [this, what] {
            if (m_itemText)
                m_itemText->setText(what);
            if (m_bar) {
                // A bar without range moves on its own: work goes on, its length unknown.
                m_bar->setRange(0, 0);
                m_bar->show();
            }
        },
        Qt::BlockingQueuedConnection);
}

void CDlgWait::OnRange(int range) {
    m_barRange = range;
    if (!m_bar)
        return;
    m_bar->setRange(0, range);
    m_bar->setValue(0);
    m_bar->show();
    m_bar->repaint();
}

void CDlgWait::OnSteps(int steps) {
    if (!m_bar)
        return;
    // The first step after a busy time brings the run's range back.
    if (m_bar->maximum() == 0 && m_barRange > 0) {
        m_bar->setRange(0, m_barRange);
        m_bar->setValue(0);
    }
    m_bar->setValue(std::min(std::max(m_bar->value(), m_bar->minimum()) + steps, m_bar->maximum()));
    m_bar->show();
    m_bar->repaint();
}

void CDlgWait::OnEnd(bool succeeded) {
    if (!m_worker)
        return; // given up: the dialog has closed already
    m_ended = true;
    m_succeeded = succeeded;
    m_timer->start();
}

void CDlgWait::OnTimer() {
    if (!m_worker)
        return;
    // The end message comes just before the thread ends: close only once it really has.
    if (m_ended && m_worker->isFinished()) {
        m_timer->stop();
        done(m_succeeded ? Succeeded : Stopped);
        return;
    }
    if (!m_ended && m_sinceCancel.isValid() && m_sinceCancel.elapsed() >= kGiveUpMilliseconds)
        GiveUpRun();
}

void CDlgWait::GiveUpRun() {
    // A run outside any driver call is running the program's own code and notices the cancel
    // soon: it is waited for, since it still reads and writes the results.
    std::vector<CAbandonedConnection> abandoned =
        m_stopping.abandon ? m_stopping.abandon() : std::vector<CAbandonedConnection>();
    if (abandoned.empty())
        return;
    for (const CAbandonedConnection& connection : abandoned)
        m_abandoned.append(connection.dataSource);
    {
        const std::lock_guard lock(m_share->guard);
        m_share->dialog = nullptr;
        if (!m_share->ended)
            m_share->abandoned = std::move(abandoned);
    }
    // Still here only if the worker ended meanwhile, its call returned: closed now.
    abandoned.clear();
    // The worker leaves the run when its call returns, touching nothing; it ends on its own.
    CThreadKeeper::Instance().Keep(std::move(m_worker));
    m_timer->stop();
    done(Stopped);
}

void CDlgWait::reject() {
    // Cancel asks the run to stop; the dialog closes when the run has noticed it and ended, or
    // gives the run up when a driver call holds it.
    if (!m_cancellable) {
        CWarningBeep::Sound();
        return;
    }
    const bool first = !m_cancelRequested.exchange(true);
    if (!first || !m_worker || m_worker->isFinished())
        return;
    m_sinceCancel.start();
    m_timer->setInterval(kCancelPollMilliseconds);
    m_timer->start();
    // The driver's cancel may wait for a server that does not answer: never on this thread.
    if (m_stopping.interrupt) {
        if (std::function<void()> cancel = m_stopping.interrupt())
            CThreadKeeper::Instance().Start(std::move(cancel));
    }
}

void CDlgWait::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDlgWait::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}
