#pragma once

#include "EventWait.h"
#include "compare/CompareFrm.h"
#include "compare/FormCompareTable.h"
#include "dialogs/DlgParams.h"
#include "shell/ShellTestBase.h"
#include "ui/QuorvixFormView.h"
#include "ui/TemplateBuilder.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

// Handlers of modal windows for the tests of the result windows, which answer dialogs from
// inside their modal loops, and the base of those tests.

inline std::vector<QPointer<QTimer>> g_pendingHandlers;

// The modal window on top once it is the active window, as a user sees it; null before. The
// platform activates a window shown some events after showing it, and only then does the
// window's focus widget have the focus: a file dialog's name field typed into before that keeps
// the file the dialog proposed selected beside the one typed, and the dialog answers with both.
inline QWidget* ActiveModal() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->isActiveWindow() ? modal : nullptr;
}

// Handles the next modal window that opens, from inside its modal loop, once it is active.
inline void OnNextModal(std::function<void(QWidget*)> handler) {
    auto* timer = new QTimer(qApp);
    g_pendingHandlers.emplace_back(timer);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, handler] {
        if (QWidget* modal = ActiveModal()) {
            timer->stop();
            timer->deleteLater();
            handler(modal);
        }
    });
    timer->start();
}

inline void ForgetPendingHandlers() {
    for (const QPointer<QTimer>& timer : g_pendingHandlers)
        delete timer.data();
    g_pendingHandlers.clear();
}

// Answers a file dialog (save or open) with a path of the test's choosing.
inline void ChooseSavePath(QWidget* save, const QString& path) {
    auto* files = qobject_cast<QFileDialog*>(save);
    ASSERT_NE(files, nullptr);
    files->setDirectory(QFileInfo(path).absolutePath());
    // Typed into the file name field, as a user would: the field has the focus, so the name
    // typed replaces whatever file the dialog had selected.
    auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    ASSERT_TRUE(name->hasFocus()) << "the dialog is not active yet";
    name->setText(QFileInfo(path).fileName());
    // The one file the dialog answers with, given the extension the user left out.
    const bool suffixAdded =
        QFileInfo(path).suffix().isEmpty() && !files->defaultSuffix().isEmpty();
    EXPECT_EQ(files->selectedFiles(),
              QStringList{suffixAdded ? path + QLatin1Char('.') + files->defaultSuffix() : path});
    static_cast<QDialog*>(files)->accept();
}

// Runs a view's export, answering its options dialog with options and its save dialog with path.
inline void ExportThroughDialogs(CQuorvixFormView* view, const QString& path,
                                 const std::function<void(CDlgParams*)>& options = {}) {
    OnNextModal([path, options](QWidget* modal) {
        auto* dialog = dynamic_cast<CDlgParams*>(modal);
        ASSERT_NE(dialog, nullptr);
        if (options)
            options(dialog);
        OnNextModal([path](QWidget* save) { ChooseSavePath(save, path); });
        dialog->Accept();
    });
    view->OnExportToFile();
}

// Runs a view's "Export to HTML..." by its button, answering its options dialog, which asks no
// encoding, and its save dialog, which offers HTML pages only, with path.
inline void ExportHtmlThroughDialogs(CQuorvixFormView* view, const QString& path) {
    OnNextModal([path](QWidget* modal) {
        auto* dialog = dynamic_cast<CDlgParams*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->EncodingCombo()->isVisible());
        OnNextModal([path](QWidget* save) {
            auto* files = qobject_cast<QFileDialog*>(save);
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->nameFilters(), QStringList{QStringLiteral("HTML pages (*.html)")});
            ChooseSavePath(save, path);
        });
        dialog->Accept();
    });
    auto* button = qobject_cast<QPushButton*>(
        CTemplateBuilder::FindControl(*view, CQuorvixFormView::kHtmlButton));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible() && button->isEnabled());
    button->click();
}

// An HTML report with its moment taken out, for reports of two runs of the same sides.
inline QByteArray WithoutMoment(QByteArray report) {
    const qsizetype start = report.indexOf("<time ");
    const qsizetype end = report.indexOf("</time>", start);
    return start < 0 || end < 0 ? report : report.remove(start, end - start);
}

// Chooses the export's encoding in its options dialog, by the name the list shows.
inline void ChooseEncoding(CDlgParams* options, const QString& name) {
    ASSERT_NE(options->EncodingCombo(), nullptr);
    options->EncodingCombo()->setCurrentIndex(options->EncodingCombo()->findText(name));
}

// What a Latin-1 export is in UTF-8: the same text after a byte order mark.
inline QByteArray AsUtf8Export(const QByteArray& latin1) {
    return "\xEF\xBB\xBF" + QString::fromLatin1(latin1).toUtf8();
}

// Reads and accepts the first message box shown from now on, whenever it comes (some come
// later from the event loop, not as the next modal).
inline void ReadMessageBoxWhenShown(QString& message) {
    auto* watcher = new QTimer(qApp);
    g_pendingHandlers.emplace_back(watcher);
    watcher->setInterval(20);
    QObject::connect(watcher, &QTimer::timeout, watcher, [watcher, &message] {
        if (auto* box = qobject_cast<QMessageBox*>(ActiveModal())) {
            watcher->stop();
            message = box->text();
            box->accept();
        }
    });
    watcher->start();
}

inline void AcceptParams(QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgParams*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->Accept();
}

// The main window with result files kept in a private TMP folder; every result window and every
// pending modal handler is gone after each test.
class ResultWindowTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(m_tmp.isValid());
        m_savedTmp = qgetenv("TMP");
        qputenv("TMP", QFile::encodeName(m_tmp.path()));
    }
    void TearDown() override {
        ForgetPendingHandlers();
        // Copies: closing a window takes it out of its list.
        for (QWidget* frame : QList<QWidget*>(m_app->ComparisonFrames()))
            frame->close();
        for (QWidget* frame : QList<QWidget*>(m_app->StructureFrames()))
            frame->close();
        ShellTest::TearDown();
        qputenv("TMP", m_savedTmp);
    }

    // The names the side's table list shows, in its order.
    QStringList Listed(int side) const {
        QStringList names;
        CQuorvixListCtrl* list = View(side)->TableList();
        for (int row = 0; row < list->GetItemCount(); ++row)
            names.append(list->GetItemText(row, 0));
        return names;
    }
    // "Compare tables..." with the parameters as they are: its window's view, or null.
    CFormCompareTable* CompareTables() {
        OnNextModal(AcceptParams);
        QTest::mouseClick(Commands()->CompareTablesButton(), Qt::LeftButton);
        if (m_app->ComparisonFrames().isEmpty())
            return nullptr;
        auto* frame = dynamic_cast<CCompareFrm*>(m_app->ComparisonFrames().last());
        return frame ? dynamic_cast<CFormCompareTable*>(frame->View()) : nullptr;
    }

    QTemporaryDir m_tmp;
    QByteArray m_savedTmp;
};
