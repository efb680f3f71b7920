#pragma once

#include <QString>

#include <functional>

class CQuorvixListCtrl;
class QLineEdit;

// "Find next" in a list, as every view with a search field does it: the search text is taken
// from the edit (selected and focused again, compared in lower case A-Z), the rows are tried
// from the one after the selection to the end, then from the top, the selected row last, and
// the first row whose item matches is selected. An empty text or no match sounds the warning
// beep. matches(itemData, lowerCaseText) decides for one item.
bool FindNextInList(QLineEdit& edit, CQuorvixListCtrl& list,
                    const std::function<bool(int itemData, const QString& text)>& matches);
