#pragma once

#include <QTimer>
#include <QWidget>

// The tooltip of the list control: a bordered pop-up that shows a cell's full text once the
// pointer has rested on the cell for 500 ms. Its owner's tooltip mode sets the layout: 0 no
// tooltip, 1 several word-wrapped lines, 2 and 3 one line.
class CInfoBulleWnd : public QWidget {
public:
    static constexpr int kShowDelayMs = 500;

    CInfoBulleWnd();

    // Makes the tooltip hidden at (x, y) with an empty size, owned by the list, which shows it
    // in its tooltip mode.
    void Create(int x, int y, const QWidget* owner, int id, int mode);
    void StartShowDelay();
    void Hide();
    bool IsTimerRunning() const { return m_timer.isActive(); }

    // Sizes the window around the text from its current place, kept on the screen.
    void SetText(const QString& text);
    QString Text() const { return m_text; }
    int Mode() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnShowDelay();

    const QWidget* m_owner = nullptr;
    int m_ownerMode = 0;
    int m_horizontalMargin = 4;
    int m_verticalMargin = 4;
    QFont m_font;
    QTimer m_timer;
    QString m_text;
};
