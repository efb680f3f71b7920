#pragma once

#include <QSplitter>

// A splitter whose bars the user cannot drag: no sizing cursor, no mouse handling; the owner
// alone sets the pane sizes. The bars are drawn in the accent colour.
class CFixedSplitterWnd : public QSplitter {
public:
    static constexpr QRgb kBarColor = 0xFF19C4DC;
    static constexpr int kBarWidth = 4;

    explicit CFixedSplitterWnd(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    QSplitterHandle* createHandle() override;
};
