#pragma once

#include "ui/QuorvixListCtrl.h"

// The list of the comparison views: each row is coloured by its status (the row's image index),
// statuses 1 to 3 in bold, also on the highlight.
class CCompareListCtrl : public CQuorvixListCtrl {
    Q_OBJECT

public:
    explicit CCompareListCtrl(QWidget* parent = nullptr);

    static QColor StatusColor(int status);

    // Statuses 1 to 3 are drawn, and so measured for their tooltips, in bold.
    QFont RowFont(int row) const override;

protected:
    void DrawItemIcon(QPainter& painter, const QRect& rowRect, const QRect& iconRect, int itemData,
                      bool highlighted) const override;
    void DrawItemTexts(QPainter& painter, int row, bool highlighted, const QRect& rowRect,
                       const QRect& iconRect, const QString& text, int itemData) const override;
};
