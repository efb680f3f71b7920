#include "ui/QuorvixListCtrl.h"

#include "EventWait.h"

#include "compare/CompareListCtrl.h"
#include "ui/Clipboard.h"
#include "ui/ContextMenus.h"
#include "ui/ImageList.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Texts by item data: row texts live with the owner, never in the list.
class CTexts : public IListItemSource {
public:
    QString GetItemText(int itemData, int column) const override {
        if (itemData < 0 || itemData >= int(rows.size()))
            return {};
        return column < int(rows[size_t(itemData)].size()) ? rows[size_t(itemData)][size_t(column)]
                                                           : QString();
    }
    int GetItemImage(int itemData) const override { return itemData % 4; }

    std::vector<std::vector<QString>> rows;
    mutable int asked = 0;
};

class ListControl : public ::testing::Test {
protected:
    void SetUp() override {
        m_texts.rows = {{"ORDERS", "12"}, {"CUSTOMERS", "7"}, {"   ", "1"}, {"LINES", "3"}};
        m_list.SetItemSource(&m_texts);
        m_list.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 120);
        m_list.InsertColumn(1, QStringLiteral("Count"), Qt::AlignRight, 60);
        m_list.SetRedraw(false);
        for (int i = 0; i < 4; ++i)
            m_list.AppendItem(i);
        m_list.SetRedraw(true);
        m_list.resize(240, 200);
        m_list.show();
        QApplication::setActiveWindow(&m_list);
    }

    CTexts m_texts;
    CQuorvixListCtrl m_list{TooltipMode::CellTips};
};

} // namespace

TEST_F(ListControl, RowsHoldItemDataAndAskTheOwnerForTexts) {
    EXPECT_EQ(m_list.GetItemCount(), 4);
    EXPECT_EQ(m_list.GetItemData(1), 1);
    EXPECT_EQ(m_list.GetItemText(1, 0), QStringLiteral("CUSTOMERS"));
    m_texts.rows[1][0] = QStringLiteral("CLIENTS"); // nothing is copied into the list
    EXPECT_EQ(m_list.GetItemText(1, 0), QStringLiteral("CLIENTS"));
    EXPECT_EQ(m_list.GetItemData(9), -1);
    m_list.DeleteAllItems();
    EXPECT_EQ(m_list.GetItemCount(), 0);
}

TEST_F(ListControl, SelectedRowIsHighlightedOnlyWithFocusOrShowSelectionAlways) {
    m_list.SelectRow(1);
    m_list.setFocus();
    ASSERT_TRUE(m_list.hasFocus());
    EXPECT_TRUE(m_list.IsRowHighlighted(1));
    EXPECT_FALSE(m_list.IsRowHighlighted(0));
    m_list.clearFocus();
    EXPECT_FALSE(m_list.IsRowHighlighted(1));
    m_list.SetShowSelectionAlways(true);
    EXPECT_TRUE(m_list.IsRowHighlighted(1));
}

TEST_F(ListControl, HighlightedRowIsPaintedInTheHighlightColourAndOthersKeepTheirs) {
    m_list.SetTextBkColor(QColor(250, 240, 200));
    m_list.SetShowSelectionAlways(true);
    m_list.SelectRow(1);
    const QImage image = m_list.viewport()->grab().toImage();
    const QRect selected = m_list.LabelRect(1);
    const QRect other = m_list.LabelRect(3);
    // Sample near the right end of the label, where no text is drawn.
    EXPECT_EQ(image.pixelColor(selected.right() - 2, selected.center().y()),
              m_list.palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(image.pixelColor(other.right() - 2, other.center().y()), QColor(250, 240, 200));
}

TEST_F(ListControl, CellTipAppearsOnlyForTextsThatDoNotFit) {
    const QFontMetrics metrics(m_list.font());
    const QString text = m_list.GetItemText(1, 0);
    const int fits = metrics.horizontalAdvance(text) + CQuorvixListCtrl::kTextMargin * 2;
    m_list.SetColumnWidth(0, fits);
    EXPECT_FALSE(m_list.IsCellTextCut(text, 1, 0)); // exactly the text plus 4 pixels
    m_list.SetColumnWidth(0, fits - 1);
    EXPECT_TRUE(m_list.IsCellTextCut(text, 1, 0));
    EXPECT_FALSE(m_list.IsCellTextCut(QString(), 1, 0));

    m_list.ShowCellTip(1, 0, m_list.CellRect(1, 0));
    EXPECT_TRUE(m_list.Tooltip().IsTimerRunning());
    EXPECT_EQ(m_list.Tooltip().Text(), text);
    m_list.Tooltip().Hide(); // before the delay has passed: stays hidden
    EXPECT_FALSE(m_list.Tooltip().IsTimerRunning());
    // A timer started now for twice the delay fires after the tooltip's would have.
    QTimer later;
    later.setSingleShot(true);
    later.setTimerType(Qt::PreciseTimer);
    QSignalSpy fired(&later, &QTimer::timeout);
    later.start(2 * CInfoBulleWnd::kShowDelayMs);
    ASSERT_TRUE(fired.wait(kEventLimitMs));
    EXPECT_FALSE(m_list.Tooltip().isVisible());

    // Blanks only: never a tooltip, however narrow the cell.
    m_list.SetColumnWidth(0, 2);
    m_list.ShowCellTip(2, 0, m_list.CellRect(2, 0));
    EXPECT_FALSE(m_list.Tooltip().IsTimerRunning());
}

// A row whose texts are a million characters long paints its head cut to the column, and its
// tip is no wider than the screen.
TEST_F(ListControl, AMillionCharacterNamePaintsCutAndTipsNoWiderThanTheScreen) {
    const QString huge = QStringLiteral("HEAD") + QString(1000000, QLatin1Char('W'));
    m_texts.rows[0] = {huge, huge};
    m_list.viewport()->repaint();
    EXPECT_FALSE(m_list.grab().isNull());
    EXPECT_TRUE(m_list.IsCellTextCut(huge, 0, 0));
    m_list.ShowCellTip(0, 1, m_list.CellRect(0, 1));
    const QString tip = m_list.Tooltip().Text();
    EXPECT_TRUE(tip.startsWith(QStringLiteral("HEADW")));
    EXPECT_TRUE(tip.endsWith(QStringLiteral("...")));
    EXPECT_LE(QFontMetrics(m_list.font()).horizontalAdvance(tip),
              QGuiApplication::primaryScreen()->geometry().width());
    m_list.Tooltip().Hide();
}

TEST_F(ListControl, RowsAreSelectedWithShiftCtrlAndCtrlAAndCopiedUnderTheirHeadings) {
    m_list.setFocus();
    m_list.SelectRow(1);
    QTest::keyClick(&m_list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      m_list.LabelRect(3).center());
    EXPECT_EQ(m_list.GetSelectedRows(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(m_list.GetSelectedRow(), 3); // the current row, selected last
    CClipboard::SetText(QString());
    QTest::keyClick(&m_list, Qt::Key_C, Qt::ControlModifier);
    // Every cell in full, the blanks-only one empty; rows in the order shown.
    EXPECT_EQ(CClipboard::Text(), QStringLiteral("Name\tCount\nCUSTOMERS\t7\n\t1\nLINES\t3\n"));

    // A column without width is not copied, and tabs or line breaks in a text stay in its cell.
    m_texts.rows[0][0] = QStringLiteral("TAB\tAND\nBREAK");
    m_list.SetColumnWidth(1, 0);
    QTest::keyClick(&m_list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(m_list.GetSelectedRows(), (std::vector<int>{0, 1, 2, 3}));
    QTest::keyClick(&m_list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(CClipboard::Text(), QStringLiteral("Name\nTAB AND BREAK\nCUSTOMERS\n\nLINES\n"));

    m_list.clearSelection();
    CClipboard::SetText(QStringLiteral("kept"));
    QTest::keyClick(&m_list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(CClipboard::Text(), QStringLiteral("kept")); // nothing selected, nothing copied
}

TEST_F(ListControl, ReturnActivatesTheSelectedRowOnly) {
    std::vector<int> activated;
    QObject::connect(&m_list, &CQuorvixListCtrl::ItemActivated,
                     [&activated](int row) { activated.push_back(row); });
    m_list.setFocus();
    QTest::keyClick(&m_list, Qt::Key_Return);
    EXPECT_TRUE(activated.empty()); // no row selected
    m_list.SelectRow(2);
    QTest::keyClick(&m_list, Qt::Key_Return);
    QTest::keyClick(&m_list, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(activated, (std::vector<int>{2, 2}));
}

TEST_F(ListControl, SortingStepsThroughAscendingDescendingAndTheRowsOwnOrder) {
    // Numbers by their value, letters without their case; equal texts keep their own order.
    m_texts.rows = {{"T10", "12"}, {"t9", "7"}, {"T9", "1"}, {"b", "12"}};
    const auto order = [this] {
        std::vector<int> items;
        for (int row = 0; row < m_list.GetItemCount(); ++row)
            items.push_back(m_list.GetItemData(row));
        return items;
    };
    m_list.SelectRow(1); // t9, current
    m_list.SortByColumn(0);
    EXPECT_EQ(order(), (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(m_list.GetItemData(m_list.GetSelectedRow()), 1); // the selection follows its item
    EXPECT_EQ(m_list.GetSelectedRows().size(), 1u);
    m_list.SortByColumn(1);
    EXPECT_EQ(order(), (std::vector<int>{2, 1, 0, 3}));
    m_list.SortByColumn(1);
    EXPECT_EQ(order(), (std::vector<int>{0, 3, 1, 2}));
    EXPECT_EQ(m_list.SortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(m_list.GetItemData(m_list.GetSelectedRow()), 1);

    // A refill, as a filter makes it, is sorted as the list is.
    m_list.SetRedraw(false);
    m_list.DeleteAllItems();
    for (const int item : {1, 2, 3})
        m_list.AppendItem(item);
    m_list.SetRedraw(true);
    EXPECT_EQ(order(), (std::vector<int>{3, 1, 2}));
    m_list.SortByColumn(1);
    EXPECT_EQ(m_list.SortColumn(), -1);
    EXPECT_EQ(order(), (std::vector<int>{1, 2, 3}));
}

TEST_F(ListControl, ContextMenuCopiesAndOffersTheOwnersCommandsForTheRowClicked) {
    QAction command(QStringLiteral("Show it..."));
    int commanded = 0;
    QObject::connect(&command, &QAction::triggered, [&commanded] { ++commanded; });
    m_list.addAction(&command);
    m_list.SelectRow(0);

    // A right click outside the selection selects the row clicked first.
    MenuEntries seen;
    ChooseInNextMenu(QStringLiteral("Copy name"), &seen);
    RightClick(m_list, m_list.LabelRect(3).center());
    EXPECT_EQ(seen.texts, (QStringList{"Copy", "Copy name", "", "Show it..."}));
    EXPECT_EQ(m_list.GetSelectedRows(), std::vector<int>{3});
    EXPECT_EQ(CClipboard::Text(), QStringLiteral("LINES"));

    m_list.SelectRow(1);
    QTest::keyClick(&m_list, Qt::Key_Down, Qt::ShiftModifier);
    ChooseInNextMenu(QStringLiteral("Show it..."));
    RightClick(m_list, m_list.LabelRect(2).center());
    EXPECT_EQ(commanded, 1);
    EXPECT_EQ(m_list.GetSelectedRows(), (std::vector<int>{1, 2})); // inside it: kept

    // Below the rows without a selection: nothing to copy, no row command.
    m_list.clearSelection();
    seen = {};
    ChooseInNextMenu(QString(), &seen);
    RightClick(m_list, QPoint(10, 190));
    EXPECT_EQ(seen.texts, (QStringList{"Copy", "Copy name"}));
    EXPECT_EQ(seen.enabled, (QList<bool>{false, false}));
}

TEST(CompareListTooltip, BoldRowIsMeasuredInTheFontItIsDrawnIn) {
    // Status (the image) 3, different, is drawn bold; status 0 in the list's font.
    CTexts texts;
    texts.rows = {{"ORDERS_HISTORY_2024"}, {}, {}, {"ORDERS_HISTORY_2024"}};
    CCompareListCtrl list;
    list.SetItemSource(&texts);
    list.InsertColumn(0, QString(), Qt::AlignLeft, 100);
    for (int i = 0; i < 4; ++i)
        list.AppendItem(i);
    list.resize(400, 200);
    list.show();
    const QString text = texts.rows[0][0];
    EXPECT_TRUE(list.RowFont(3).bold());
    EXPECT_FALSE(list.RowFont(0).bold());
    QFont bold = list.font();
    bold.setBold(true);
    const int plain = QFontMetrics(list.font()).horizontalAdvance(text);
    ASSERT_GT(QFontMetrics(bold).horizontalAdvance(text), plain);
    // Room for the plain text plus 4 pixels: the plain row fits, the bold one is cut.
    list.SetColumnWidth(0, plain + 2 * CQuorvixListCtrl::kTextMargin);
    EXPECT_FALSE(list.IsCellTextCut(text, 0, 0));
    EXPECT_TRUE(list.IsCellTextCut(text, 3, 0));
    list.ShowCellTip(3, 0, list.CellRect(3, 0));
    EXPECT_TRUE(list.Tooltip().IsTimerRunning());
    EXPECT_EQ(list.Tooltip().Text(), text);
    list.Tooltip().Hide();
}

TEST_F(ListControl, TooltipShowsAfterItsDelay) {
    m_list.SetColumnWidth(1, 8);
    m_list.ShowCellTip(0, 1, m_list.CellRect(0, 1));
    EXPECT_FALSE(m_list.Tooltip().isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_list.Tooltip().isVisible(); }, kEventLimitMs));
    EXPECT_EQ(m_list.Tooltip().Text(), QStringLiteral("12"));
}

TEST_F(ListControl, HitTestFindsRowAndColumnUnderThePoint) {
    int column = -1;
    QRect cell;
    const QRect count = m_list.CellRect(3, 1);
    EXPECT_EQ(m_list.HitTestCell(count.center(), column, cell), 3);
    EXPECT_EQ(column, 1);
    EXPECT_EQ(cell, count);
    EXPECT_EQ(m_list.HitTestCell(m_list.LabelRect(0).center(), column, cell), 0);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(m_list.HitTestCell(QPoint(10, 190), column, cell), -1); // below the last row
    EXPECT_TRUE(cell.isEmpty());
}

TEST(InfoBulleWnd, StaysOnTheScreenNearItsBottomRightCorner) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    CQuorvixListCtrl wrapping(TooltipMode::WrappedLines);
    CInfoBulleWnd& multiLine = wrapping.Tooltip();
    multiLine.setGeometry(screen.width() - 30, screen.height() - 10, 120, 16);
    multiLine.SetText(QStringLiteral("a tooltip text that wraps over several lines of the cell"));
    EXPECT_LE(multiLine.geometry().right(), screen.width() - 1);
    EXPECT_LE(multiLine.geometry().bottom(), screen.height() - 1);

    CQuorvixListCtrl single(TooltipMode::CellTips);
    CInfoBulleWnd& oneLine = single.Tooltip();
    oneLine.setGeometry(screen.width() - 30, screen.height() - 10, 120, 16);
    oneLine.SetText(QStringLiteral("a long single-line tooltip text"));
    EXPECT_LE(oneLine.geometry().right(), screen.width() - 1);
    EXPECT_EQ(oneLine.geometry().top(), screen.height() - 12); // moved left only
}

TEST(SharedImages, SevenImagesWithTheMaskColourTransparent) {
    const CImageList images = CImageList::Shared();
    ASSERT_EQ(images.Count(), 7);
    for (int i = 0; i < images.Count(); ++i)
        EXPECT_EQ(images.Image(i).size(), QSize(16, 16)) << i;
    // The top-left pixel of the table picture is the mask colour in the strip.
    EXPECT_EQ(images.Image(CImageList::Table).toImage().pixelColor(0, 0).alpha(), 0);
    EXPECT_TRUE(images.Image(7).isNull());
    for (const char* name :
         {"bitmap132.png", "bitmap136.png", "bitmap137.png", "icon128.png", "cursor200.png"})
        EXPECT_FALSE(QPixmap(QStringLiteral(":/quorvix/images/") + QLatin1String(name)).isNull())
            << name;
    EXPECT_EQ(QPixmap(QStringLiteral(":/quorvix/images/bitmap132.png")).size(), QSize(200, 60));
    EXPECT_EQ(QPixmap(QStringLiteral(":/quorvix/images/bitmap136.png")).size(), QSize(54, 54));
    EXPECT_EQ(QPixmap(QStringLiteral(":/quorvix/images/bitmap137.png")).size(), QSize(384, 218));
}
