// Fills the report list with 500,000 rows, scrolls it and paints pages, sorts it by a column,
// selects and copies every row, and prints how long that takes and how much memory the rows
// cost: the list must hold nothing per row but its item data and, sorted, an index. Then it
// paints a row whose texts are a million characters long.
#include "ui/QuorvixListCtrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>

#include <cstdio>

namespace {

class CNumberTexts : public IListItemSource {
public:
    QString GetItemText(int itemData, int column) const override {
        return column == 0 ? QStringLiteral("TABLE_%1").arg(itemData, 6, 10, QLatin1Char('0'))
                           : QString::number(itemData % 97);
    }
};

double ResidentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression resident(QStringLiteral("VmRSS:\\s+(\\d+) kB"));
    const QRegularExpressionMatch match = resident.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : -1;
}

// One row whose name is a million characters long, as a snapshot may hold: a row is painted
// in the time of a short one.
class CLongTexts : public IListItemSource {
public:
    QString GetItemText(int, int) const override { return name; }
    QString name = QString(1000000, QLatin1Char('W'));
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rows = application.arguments().contains(QStringLiteral("--smoke")) ? 20000 : 500000;

    CNumberTexts texts;
    CQuorvixListCtrl list(TooltipMode::CellTips);
    list.SetItemSource(&texts);
    list.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 200);
    list.InsertColumn(1, QStringLiteral("Count"), Qt::AlignRight, 60);
    list.resize(400, 600);
    list.show();
    application.processEvents();

    const double before = ResidentMb();
    QElapsedTimer timer;
    timer.start();
    list.SetRedraw(false);
    for (int i = 0; i < rows; ++i)
        list.AppendItem(i);
    list.SetRedraw(true);
    application.processEvents();
    const double fillMs = timer.nsecsElapsed() / 1e6;
    const double after = ResidentMb();

    timer.restart();
    const int pages = 200;
    QScrollBar* bar = list.verticalScrollBar();
    for (int page = 0; page < pages; ++page) {
        bar->setValue(int(qint64(bar->maximum()) * page / pages));
        list.viewport()->repaint();
    }
    const double pageMs = timer.nsecsElapsed() / 1e6 / pages;

    // Descending first: the texts come in ascending order, which a sort meets at its best.
    timer.restart();
    list.SetSortOrder(0, Qt::DescendingOrder);
    const double sortMs = timer.nsecsElapsed() / 1e6;
    const double sorted = ResidentMb();
    list.viewport()->repaint();

    timer.restart();
    list.selectAll();
    const qsizetype copied = list.SelectedRowsText().size();
    const double copyMs = timer.nsecsElapsed() / 1e6;

    CLongTexts longTexts;
    CQuorvixListCtrl longList(TooltipMode::CellTips);
    longList.SetItemSource(&longTexts);
    longList.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 200);
    longList.InsertColumn(1, QStringLiteral("Type"), Qt::AlignLeft, 120);
    longList.AppendItem(0);
    longList.resize(400, 200);
    longList.show();
    application.processEvents();
    timer.restart();
    constexpr int kLongPaints = 10;
    for (int paint = 0; paint < kLongPaints; ++paint)
        longList.viewport()->repaint();
    const double longNameMs = timer.nsecsElapsed() / 1e6 / kLongPaints;

    std::printf("list_rows: %d\n", rows);
    std::printf("list_fill_ms: %.1f\n", fillMs);
    std::printf("list_page_paint_ms: %.2f\n", pageMs);
    std::printf("list_rows_mb: %.1f\n", after - before);
    std::printf("list_sort_ms: %.1f\n", sortMs);
    std::printf("list_sorted_rows_mb: %.1f\n", sorted - before);
    std::printf("list_copy_all_ms: %.1f\n", copyMs);
    // Target: under 50 ms.
    std::printf("long_name_paint_ms: %.2f\n", longNameMs);
    return list.GetItemCount() == rows && copied > 0 ? 0 : 1;
}
