#include "dialogs/DlgWait.h"

#include "runs/ComparisonResults.h"
#include "services/Language.h"
#include "ui/TemplateBuilder.h"
#include "ui/WarningBeep.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

namespace {
constexpr int kTemplate = 1006;
constexpr int kItemText = 5065;
constexpr int kProgressBar = 5063;
constexpr int kCancelButton = 2;
constexpr int kEndPollMilliseconds = 100;
// The bar cannot show finer steps than this share of its range.
constexpr qint64 kVisibleSteps = 1000;
} // namespace

CDlgWait::CDlgWait(Kind kind, bool cancellable, CComparisonResults& results, QWidget* owner)
    : CDlgWait(
          kind, cancellable,
          [kind, &results](IComparisonProgress& progress) {
              return kind == DictionaryRun ? results.RunDictionaryComparison(progress)
                                           : results.RunTableComparison(progress);
          },
          owner, [&results] { results.Interrupt(); }) {}

CDlgWait::CDlgWait(Kind kind, bool cancellable, Run run, QWidget* owner,
                   std::function<void()> interrupt)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint), m_kind(kind),
      m_cancellable(cancellable), m_run(std::move(run)), m_interrupt(std::move(interrupt)) {
    setModal(true);
    CTemplateBuilder::Build(*this, MapResourceId(kTemplate));
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
    // exec() returns only after the worker has ended; this covers a dialog destroyed otherwise.
    if (m_worker)
        m_worker->wait();
}

int CDlgWait::exec() {
    if (!m_run || m_worker)
        return NotStarted;
    m_worker.reset(QThread::create([this] {
        // Nothing may escape the worker: an exception there would end the program.
        bool succeeded = false;
        try {
            succeeded = m_run(*this);
        } catch (const std::exception&) {
            succeeded = false;
        }
        QMetaObject::invokeMethod(
            this, [this, succeeded] { OnEnd(succeeded); }, Qt::QueuedConnection);
    }));
    m_worker->start();
    if (!m_worker->isRunning() && !m_worker->isFinished())
        return NotStarted;
    return QDialog::exec();
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

void CDlgWait::OnRange(int range) {
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
    m_bar->setValue(std::min(std::max(m_bar->value(), m_bar->minimum()) + steps, m_bar->maximum()));
    m_bar->show();
    m_bar->repaint();
}

void CDlgWait::OnEnd(bool succeeded) {
    m_succeeded = succeeded;
    m_timer->start();
}

void CDlgWait::OnTimer() {
    // The end message comes just before the thread ends: close only once it really has.
    if (!m_worker || !m_worker->isFinished())
        return;
    m_timer->stop();
    done(m_succeeded ? Succeeded : Stopped);
}

void CDlgWait::reject() {
    // Cancel asks the run to stop; the dialog closes when the run has noticed it and ended. A
    // run waiting for a stalled server notices only once its statement is cancelled.
    if (m_cancellable) {
        m_cancelRequested = true;
        if (m_interrupt && m_worker && !m_worker->isFinished())
            m_interrupt();
    } else
        CWarningBeep::Sound();
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
