#pragma once

#include <functional>

class QLineEdit;
class QWidget;

// The keys every result window answers, whichever of its controls has the focus: Escape and
// Ctrl+W close it, Ctrl+F puts the focus in its search field with the text selected, ready to be
// typed over. The field is asked for at each press: a window with tabs has one per tab.
void AddResultWindowKeys(QWidget& window, std::function<QLineEdit*()> searchField);
