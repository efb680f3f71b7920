#pragma once

#include <QIcon>
#include <QString>

#include <functional>

class CComparisonResults;
class CParamWord;
class IWindowHost;

// What a comparison window is handed by the command that opens it: where it registers, the
// results it shows, the parameter word its export options live in, the two sides' display
// names and the find button's picture.
struct CComparisonContext {
    IWindowHost* host = nullptr;
    CComparisonResults* results = nullptr;
    CParamWord* params = nullptr;
    QString leftName;
    QString rightName;
    QIcon findIcon;
    // The program's icon, which every comparison window carries.
    QIcon programIcon;
    // Makes sure the result exists, running the comparison when it does not; false when the
    // run was cancelled or failed.
    std::function<bool()> ensureResult;

    QString SideName(int side) const { return side == 0 ? leftName : rightName; }
    QString PairName() const { return leftName + QStringLiteral(" / ") + rightName; }
};
