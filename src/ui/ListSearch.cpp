#include "ui/ListSearch.h"

#include "model/NameOrdering.h"
#include "services/WaitCursor.h"
#include "ui/QuorvixListCtrl.h"
#include "ui/WarningBeep.h"

#include <QLineEdit>

bool FindNextInList(QLineEdit& edit, CQuorvixListCtrl& list,
                    const std::function<bool(int itemData, const QString& text)>& matches) {
    const CWaitCursor waitCursor;
    QString text = edit.text();
    if (text.isEmpty()) {
        CWarningBeep::Sound();
        return false;
    }
    edit.selectAll();
    edit.setFocus();
    text = LowerAscii(text);
    const int count = list.GetItemCount();
    const int selected = list.GetSelectedRow();
    for (int step = 1; step <= count; ++step) {
        const int row = selected < 0 ? step - 1 : (selected + step) % count;
        if (matches(list.GetItemData(row), text)) {
            list.SelectRow(row);
            return true;
        }
    }
    CWarningBeep::Sound();
    return false;
}
