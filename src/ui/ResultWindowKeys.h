#pragma once

class QLineEdit;
class QWidget;

// The keys every result window answers, whichever of its controls has the focus: Escape and
// Ctrl+W close it, Ctrl+F puts the focus in its search field with the text selected, ready to be
// typed over.
void AddResultWindowKeys(QWidget& window, QLineEdit& searchField);
