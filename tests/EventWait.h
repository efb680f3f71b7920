#pragma once

#include <QtCore/qtestsupport_core.h>

#include <functional>

// The longest a test waits for an event before it fails: a bound on a hang, never a measure of
// speed, so it is far beyond what any event takes on a busy machine.
inline constexpr int kEventLimitMs = 120000;

// Waits, handling the thread's events, until condition holds; false when it still does not
// after the limit.
inline bool WaitForEvent(const std::function<bool()>& condition, int limitMs = kEventLimitMs) {
    return QTest::qWaitFor(condition, limitMs);
}
