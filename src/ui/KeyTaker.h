#pragma once

// A window that may take a key press before normal processing: the selection views, the
// comparison frames and the table structure frames are offered every key in turn.
class IKeyTaker {
public:
    virtual ~IKeyTaker() = default;
    // True when the window handled the key (Qt key code); the key is then consumed.
    virtual bool TakeKey(int key) = 0;
};
