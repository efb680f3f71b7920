#pragma once

#include <functional>

class CDataSourceSide;
class CImageList;
class CParamWord;
class IWindowHost;

// What a selection view is handed by the program that makes it: the side it chooses and opens,
// where the structure windows it opens register, the shared images, the parameter word that
// holds the structure export's options, and whom to tell when the side becomes ready or stops
// being so.
struct CSelectionContext {
    IWindowHost* host = nullptr;
    CDataSourceSide* side = nullptr;
    int sideIndex = -1;
    const CImageList* images = nullptr;
    CParamWord* params = nullptr;
    std::function<void()> readinessChanged;
};
