#pragma once

#include <QString>

#include <functional>

class CDataSourceSide;
class CImageList;
class CParamWord;
class CSide;
class CSnapshotSide;
class IWindowHost;

// What a selection view is handed by the program that makes it: the two sides it may choose and
// open (a data source, or a snapshot file of one), where the structure windows it opens
// register, the shared images, the parameter word that holds the structure export's and the
// snapshot's options, whom to tell when the side becomes ready or stops being so, whom to tell
// when the side it shows becomes the other of the two, and whom to ask whether a file is the
// snapshot a side reads, which a new snapshot must not replace.
struct CSelectionContext {
    IWindowHost* host = nullptr;
    CDataSourceSide* dataSource = nullptr;
    CSnapshotSide* snapshot = nullptr;
    int sideIndex = -1;
    const CImageList* images = nullptr;
    CParamWord* params = nullptr;
    std::function<void()> readinessChanged;
    std::function<void(CSide& shown)> sideChanged;
    // Why a snapshot must not be written at path (a file that a side reads); empty when it may.
    std::function<QString(const QString& path)> refusedTarget;
};
