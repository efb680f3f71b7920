#pragma once

#include <QSplitter>

// A splitter whose bars the user cannot drag: no sizing cursor, no mouse handling; the owner
// alone sets the pane sizes. Each pane sits in a border of two nested dark one-pixel frames and
// the bars between them are drawn in the accent colour.
class CFixedSplitterWnd : public QSplitter {
public:
    static constexpr int kBarWidth = 3;
    static constexpr int kBorderWidth = 2;

    enum DrawKind { SplitBar, SplitBorder };

    explicit CFixedSplitterWnd(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The pixels of this splitter's width (Qt::Horizontal) or height (Qt::Vertical) that its
    // panes do not get: the borders around them and the bars between them.
    int Overhead(Qt::Orientation direction) const;

    // A bar is filled with the accent colour; a pane border (the pane's rectangle grown by the
    // border width) is two nested dark frames, unfilled.
    static void DrawSplitter(QPainter& painter, DrawKind kind, const QRect& rectangle);
    // The border rectangle around a pane's rectangle.
    static QRect BorderRect(const QRect& pane);

protected:
    QSplitterHandle* createHandle() override;
    void paintEvent(QPaintEvent* event) override;
};
