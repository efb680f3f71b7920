#pragma once

// Shows the wait cursor for its lifetime. The core library only counts the requests; the program
// installs the hooks that really show and hide the cursor (on the user-interface thread, even
// when the request comes from a comparison's worker thread).
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    using Hook = void (*)();
    static void InstallHooks(Hook show, Hook restore);
};
