#pragma once

// The warning beep of a find without match or an action that is not available. Counted, so that
// tests can tell that it sounded.
class CWarningBeep {
public:
    static void Sound();
    static int Count();
};
