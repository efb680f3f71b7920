#pragma once

#include <QString>

class CDataSourceSide;
class CImageList;
class CParamWord;
class IWindowHost;

// What a table structure window is handed by the selection view that opens it: where it
// registers and keeps its placement, the side it reads the table from (once, when it first
// shows), the side's display name, the shared images and the parameter word that holds its
// export options.
struct CTableStructContext {
    IWindowHost* host = nullptr;
    CDataSourceSide* side = nullptr;
    int sideIndex = -1;
    QString sideName;
    const CImageList* images = nullptr;
    CParamWord* params = nullptr;
};
