#include "shell/ModalHandlers.h"

#include "compare/CompareColumnFrm.h"
#include "compare/CompareFrm.h"
#include "compare/CompareListCtrl.h"
#include "compare/FormCompareColumn.h"
#include "compare/FormCompareTable.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/DlgDataSourceSetup.h"
#include "dialogs/DlgDataSources.h"
#include "dialogs/DlgParams.h"
#include "dialogs/DlgWait.h"
#include "model/ParamWord.h"
#include "ui/MultiLineButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>

namespace {

QString Describe(const QWidget& control, const QString& text, const QSize& needed,
                 const QSize& available) {
    const QWidget* window = control.window();
    return QStringLiteral("%1 %2 \"%3\" needs %4x%5, has %6x%7")
        .arg(window->windowTitle().isEmpty()
                 ? QString::fromLatin1(window->metaObject()->className())
                 : window->windowTitle())
        .arg(CTemplateBuilder::ControlId(control))
        .arg(text)
        .arg(needed.width())
        .arg(needed.height())
        .arg(available.width())
        .arg(available.height());
}

bool Fits(const QSize& needed, const QRect& area) {
    return needed.width() <= area.width() && needed.height() <= area.height();
}

// The reasons a control cannot show its text whole: empty when it can. Each text is measured
// in the control's own font, in the area the style draws it in, wrapped where the control wraps.
QStringList ClippedTexts(const QWidget& control) {
    const QFontMetrics metrics(control.font());
    QStyleOptionButton option;
    option.initFrom(&control);
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        if (label->text().isEmpty() || !label->pixmap().isNull())
            return {};
        const QRect area = label->contentsRect();
        const QSize needed =
            label->wordWrap()
                ? metrics
                      .boundingRect(area, int(label->alignment()) | Qt::TextWordWrap, label->text())
                      .size()
                : metrics.size(0, label->text());
        if (!Fits(needed, area))
            return {Describe(control, label->text(), needed, area.size())};
    } else if (const auto* wrapping = qobject_cast<const CMultiLineButton*>(&control)) {
        const QRect area = wrapping->TextRect();
        const QSize needed =
            metrics.boundingRect(area, CMultiLineButton::kTextFlags, wrapping->text()).size();
        if (!Fits(needed, area))
            return {Describe(control, wrapping->text(), needed, area.size())};
    } else if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        if (button->text().isEmpty())
            return {};
        option.text = button->text();
        if (button->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
        if (button->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        const QRect area =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        QSize needed = metrics.size(Qt::TextShowMnemonic, button->text());
        if (!button->icon().isNull())
            needed.rwidth() += button->iconSize().width() + 4;
        if (!Fits(needed, area))
            return {Describe(control, button->text(), needed, area.size())};
    } else if (const auto* box = qobject_cast<const QCheckBox*>(&control)) {
        option.text = box->text();
        const QRect area = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        const QSize needed = metrics.size(Qt::TextShowMnemonic, box->text());
        if (!box->text().isEmpty() && !Fits(needed, area))
            return {Describe(control, box->text(), needed, area.size())};
    } else if (const auto* tabs = qobject_cast<const QTabBar*>(&control)) {
        QStringList clipped;
        const int space = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
        for (int index = 0; index < tabs->count(); ++index) {
            const QRect tab = tabs->tabRect(index);
            QSize needed = metrics.size(Qt::TextShowMnemonic, tabs->tabText(index));
            needed.rwidth() += space;
            if (!tabs->tabIcon(index).isNull())
                needed.rwidth() += tabs->iconSize().width() + 4;
            // A tab pushed past the bar's end hides behind the scroll arrows.
            if (!tabs->rect().contains(tab) || !Fits(needed, tab))
                clipped.append(Describe(control, tabs->tabText(index), needed, tab.size()));
        }
        return clipped;
    }
    return {};
}

// Every clipped text among the shown controls of the window.
QStringList ClippedTextsOfWindow(QWidget& window) {
    window.show();
    QCoreApplication::processEvents();
    QStringList clipped;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (CTemplateBuilder::ControlId(*control) != 0 && control->isVisibleTo(&window))
            clipped += ClippedTexts(*control);
    }
    return clipped;
}

} // namespace

class WindowTexts : public ResultWindowTest {
protected:
    void SetUp() override {
        ResultWindowTest::SetUp();
        AddLite(QStringLiteral("WindowTextsLeft"),
                QStringLiteral("CREATE TABLE T1 (C1 INT); CREATE TABLE LONLY (x INT);"));
        AddLite(QStringLiteral("WindowTextsRight"),
                QStringLiteral("CREATE TABLE T1 (C2 INT); CREATE TABLE RONLY (y INT);"));
    }
    // The headers of T1's column window, at its default size, that show cut (a side's name on a
    // second line may be cut in its middle: the tooltip shows it whole).
    QStringList ClippedHeadersOfColumnWindow() {
        auto* tables = dynamic_cast<CFormCompareTable*>(
            dynamic_cast<CCompareFrm*>(m_app->ComparisonFrames().first())->View());
        if (!tables)
            return {QStringLiteral("no table window")};
        for (int row = 0; row < tables->List()->GetItemCount(); ++row) {
            if (tables->List()->GetItemText(row, 0) != QLatin1String("T1"))
                continue;
            tables->List()->SelectRow(row);
            emit tables->List()->ItemActivated(row);
        }
        auto* frame = dynamic_cast<CCompareColumnFrm*>(m_app->ComparisonFrames().last());
        auto* view = frame ? dynamic_cast<CFormCompareColumn*>(frame->View()) : nullptr;
        if (!view)
            return {QStringLiteral("no column window")};
        frame->show();
        QCoreApplication::processEvents();
        QStringList clipped;
        const std::vector<CFormCompare::BandHeader> headers = view->HeaderTexts();
        for (int column = 0; column < int(headers.size()); ++column) {
            if (!headers[size_t(column)].second.isEmpty())
                continue;
            const QPoint center = view->BandHeaderRect(column).center();
            QHelpEvent event(QEvent::ToolTip, center, view->mapToGlobal(center));
            event.ignore();
            QCoreApplication::sendEvent(view, &event);
            if (event.isAccepted())
                clipped.append(QStringLiteral("column header \"%1\" is cut")
                                   .arg(headers[size_t(column)].first));
        }
        QToolTip::hideText();
        frame->close();
        return clipped;
    }
    // Starts the program again under this locale, as a user would.
    void StartIn(const char* locale) {
        m_app->ExitInstance();
        qputenv("LC_ALL", locale);
        ASSERT_TRUE(m_app->InitInstance());
    }
};

// One test for every window, so that a new text or a resized control anywhere is caught: each
// window opens at its default size, in French and in English.
TEST_F(WindowTexts, EveryTextFitsItsControlInFrenchAndInEnglish) {
    for (const char* locale : {"fr_FR.UTF-8", "C"}) {
        SCOPED_TRACE(locale);
        StartIn(locale);
        QStringList clipped;
        clipped += ClippedTextsOfWindow(*m_app->MainFrame());

        CParamWord params;
        std::vector<int> bits;
        for (int bit = 0; bit <= CParamWord::MaxIndex; ++bit) {
            if (bit == ParamBit::ExportTableColumnStatus0 || bit == ParamBit::StringsAlike)
                bits.push_back(CDlgParams::kIndent);
            bits.push_back(bit);
        }
        CDlgParams allParams(params, bits, QStringLiteral("WindowTextsLeft"),
                             QStringLiteral("WindowTextsRight"), m_app->MainFrame());
        clipped += ClippedTextsOfWindow(allParams);

        CDlgWait progress(
            CDlgWait::TableRun, true, [](IComparisonProgress&) { return true; }, nullptr);
        clipped += ClippedTextsOfWindow(progress);

        QString name;
        CDataSourceSide::SourceKind kind = CDataSourceSide::SystemDataSource;
        CDlgDataSources dataSources(&name, &kind, nullptr);
        clipped += ClippedTextsOfWindow(dataSources);
        CDlgDataSourceSetup setup(nullptr);
        clipped += ClippedTextsOfWindow(setup);

        CAboutDlg about(QPixmap(QStringLiteral(":/quorvix/images/bitmap137.png")),
                        {QStringLiteral("/r"), QStringLiteral("/c"), QStringLiteral("/h")});
        clipped += ClippedTextsOfWindow(about);

        // A data source that cannot be reached offers "Connection"; both sides ready show the
        // table lists and their buttons; then the comparison asks for its parameters and opens
        // its window.
        View(1)->SelectDataSource(QStringLiteral("WindowTextsMissing"),
                                  CDataSourceSide::UserDataSource);
        clipped += ClippedTextsOfWindow(*m_app->MainFrame());
        View(0)->SelectDataSource(QStringLiteral("WindowTextsLeft"),
                                  CDataSourceSide::SystemDataSource);
        View(1)->SelectDataSource(QStringLiteral("WindowTextsRight"),
                                  CDataSourceSide::SystemDataSource);
        clipped += ClippedTextsOfWindow(*m_app->MainFrame());
        // The column window then shows every column it has.
        m_app->Params().SetBit(ParamBit::CompareSqlTypes, true);
        m_app->Params().SetBit(ParamBit::CompareAttributes, true);
        bool asked = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<CDlgParams*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            asked = true;
            clipped += ClippedTextsOfWindow(*dialog);
            dialog->Accept();
        });
        QTest::mouseClick(Commands()->CompareTablesButton(), Qt::LeftButton);
        EXPECT_TRUE(asked);
        ASSERT_EQ(m_app->ComparisonFrames().size(), 1);
        clipped += ClippedTextsOfWindow(*m_app->ComparisonFrames().first());
        clipped += ClippedHeadersOfColumnWindow();
        m_app->ComparisonFrames().first()->close();

        EXPECT_EQ(clipped, QStringList());
    }
}
