#pragma once

#include <QTabBar>

// Tabs drawn by the program: a dark strip behind them, each tab filled with the button colour,
// its icon and its text centred; the selected tab stands out on the strip and, with the focus,
// carries the focus mark.
class CColorTabCtrl : public QTabBar {
public:
    explicit CColorTabCtrl(QWidget* parent = nullptr);

    void SetSelectedTextColor(const QColor& color) { m_selectedTextColor = color; }
    void SetTextColor(const QColor& color) { m_textColor = color; }
    void SetSelectedFont(const QFont& font) { m_selectedFont = font; }
    void SetTabFont(const QFont& font) { m_tabFont = font; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawTab(QPainter& painter, int index) const;

    QColor m_selectedTextColor;
    QColor m_textColor;
    QFont m_selectedFont;
    QFont m_tabFont;
};
