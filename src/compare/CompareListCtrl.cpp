#include "compare/CompareListCtrl.h"

#include "model/CompareStatus.h"

#include <QPainter>

CCompareListCtrl::CCompareListCtrl(QWidget* parent)
    : CQuorvixListCtrl(TooltipMode::CellTips, parent) {}

QColor CCompareListCtrl::StatusColor(int status) {
    return QColor::fromRgb(CompareStatus::Colour(status));
}

QFont CCompareListCtrl::RowFont(int row) const {
    QFont rowFont = CQuorvixListCtrl::RowFont(row);
    const int itemData = GetItemData(row);
    const int status =
        Source() && itemData >= 0 ? Source()->GetItemImage(itemData) : CompareStatus::Same;
    if (status >= CompareStatus::OnlyLeft && status <= CompareStatus::Different)
        rowFont.setBold(true);
    return rowFont;
}

void CCompareListCtrl::DrawItemIcon(QPainter&, const QRect&, const QRect&, int, bool) const {
    // The image index carries the status; there is no picture to draw.
}

void CCompareListCtrl::DrawItemTexts(QPainter& painter, int row, bool highlighted,
                                     const QRect& rowRect, const QRect& iconRect,
                                     const QString& text, int itemData) const {
    const int status = Source() ? Source()->GetItemImage(itemData) : CompareStatus::Same;
    painter.save();
    painter.setPen(StatusColor(status));
    CQuorvixListCtrl::DrawItemTexts(painter, row, highlighted, rowRect, iconRect, text, itemData);
    painter.restore();
}
