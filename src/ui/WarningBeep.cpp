#include "ui/WarningBeep.h"

#include <QApplication>

#include <atomic>

namespace {
std::atomic<int> g_count{0};
}

void CWarningBeep::Sound() {
    ++g_count;
    QApplication::beep();
}

int CWarningBeep::Count() {
    return g_count;
}
