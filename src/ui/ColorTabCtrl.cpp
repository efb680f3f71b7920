#include "ui/ColorTabCtrl.h"

#include "ui/QuorvixLook.h"

#include <QPainter>

namespace {
constexpr int kEdgeHeight = 2;
}

CColorTabCtrl::CColorTabCtrl(QWidget* parent)
    : QTabBar(parent), m_selectedTextColor(palette().color(QPalette::ButtonText)),
      m_textColor(palette().color(QPalette::ButtonText)) {
    setDrawBase(false);
    setExpanding(false);
}

void CColorTabCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int stripBottom = count() > 0 ? tabRect(0).bottom() + 1 : 0;
    painter.fillRect(QRect(0, 0, width(), stripBottom), CQuorvixLook::Background());
    painter.fillRect(QRect(0, stripBottom, width(), height() - stripBottom),
                     palette().color(QPalette::Button));
    for (int index = 0; index < count(); ++index)
        DrawTab(painter, index);
}

void CColorTabCtrl::DrawTab(QPainter& painter, int index) const {
    const bool selected = index == currentIndex();
    QRect area = tabRect(index).adjusted(0, kEdgeHeight, 0, 0);
    painter.save();
    painter.fillRect(selected ? area : area.adjusted(0, 0, 0, 2),
                     palette().color(QPalette::Button));

    const QIcon icon = tabIcon(index);
    if (!icon.isNull()) {
        area.setLeft(area.left() + painter.fontMetrics().horizontalAdvance(QLatin1Char(' ')));
        const QSize size = iconSize();
        icon.paint(&painter, QRect(area.topLeft(), size));
        area.setLeft(area.left() + size.width());
    }

    const QFont& chosenFont = selected ? m_selectedFont : m_tabFont;
    painter.setFont(chosenFont.family().isEmpty() ? font() : chosenFont);
    painter.setPen(selected ? m_selectedTextColor : m_textColor);
    if (selected) {
        area.setTop(area.top() - kEdgeHeight);
        painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, tabText(index));
        if (hasFocus())
            CQuorvixLook::DrawFocusMark(painter, tabRect(index).adjusted(2, 2, -2, -1),
                                        m_selectedTextColor);
    } else {
        painter.drawText(area, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                         tabText(index));
    }
    painter.restore();
}
