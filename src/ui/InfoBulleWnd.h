#pragma once

#include <QTimer>
#include <QWidget>

// How a list shows tooltips; the values are the ones the lists are described with. A list with
// cell tips shows the full text of a cut cell; the layouts differ by mode.
enum class TooltipMode : int { None = 0, WrappedLines = 1, CellTips = 2, OneLine = 3 };

// The tooltip of the list control: a bordered pop-up that shows a cell's full text once the
// pointer has rested on the cell for 500 ms. Its owner's tooltip mode sets the layout: none,
// several word-wrapped lines, or one line (cell tips and one-line mode).
class CInfoBulleWnd : public QWidget {
public:
    static constexpr int kShowDelayMs = 500;

    CInfoBulleWnd();

    // Makes the tooltip hidden at (x, y) with an empty size, owned by the list, which shows it
    // in its tooltip mode.
    void Create(int x, int y, const QWidget* owner, int id, TooltipMode mode);
    void StartShowDelay();
    void Hide();
    bool IsTimerRunning() const { return m_timer.isActive(); }

    // Sizes the window around the text from its current place, kept on the screen.
    void SetText(const QString& text);
    QString Text() const { return m_text; }
    TooltipMode Mode() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnShowDelay();

    const QWidget* m_owner = nullptr;
    TooltipMode m_ownerMode = TooltipMode::None;
    int m_horizontalMargin = 4;
    int m_verticalMargin = 4;
    QFont m_font;
    QTimer m_timer;
    QString m_text;
};
