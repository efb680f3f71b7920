#include "services/WaitCursor.h"

#include <atomic>

namespace {
std::atomic<CWaitCursor::Hook> g_show{nullptr};
std::atomic<CWaitCursor::Hook> g_restore{nullptr};
} // namespace

CWaitCursor::CWaitCursor() {
    if (const Hook show = g_show.load())
        show();
}

CWaitCursor::~CWaitCursor() {
    if (const Hook restore = g_restore.load())
        restore();
}

void CWaitCursor::InstallHooks(Hook show, Hook restore) {
    g_show = show;
    g_restore = restore;
}
