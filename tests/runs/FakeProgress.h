#pragma once

#include "runs/ComparisonProgress.h"

#include <QStringList>

#include <functional>
#include <vector>

// Records what a run reports and answers the cancel query with "cancel" from the
// cancelAtQuery-th query on (never when it is 0).
class CFakeProgress : public IComparisonProgress {
public:
    void Progress(int range) override { progress.push_back(range); }
    int QueryCancel() override {
        ++queries;
        if (onQuery)
            onQuery(queries);
        return cancelAtQuery > 0 && queries >= cancelAtQuery ? 1 : 0;
    }
    void SetItemText(const QString& text) override { items.append(text); }
    void ShowBusy(const QString& what) override { busy.append(what); }

    int cancelAtQuery = 0;
    // Called with the number of each query, for tests that disturb a run at a given point.
    std::function<void(int)> onQuery;
    int queries = 0;
    std::vector<int> progress;
    QStringList items;
    QStringList busy;
};
