#pragma once

#include <QPixmap>
#include <QString>

class CSide;
class CImageList;
class CParamWord;
class IWindowHost;

// What a table structure window is handed by the selection view that opens it: where it
// registers and keeps its placement, the side it reads the table from (once, when it first
// shows), the side's display name and the picture of its kind, the shared images and the
// parameter word that holds its export options.
struct CTableStructContext {
    IWindowHost* host = nullptr;
    CSide* side = nullptr;
    int sideIndex = -1;
    QString sideName;
    QPixmap sideIcon;
    const CImageList* images = nullptr;
    CParamWord* params = nullptr;
};
