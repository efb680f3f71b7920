#pragma once

// Root of the record classes: containers of base pointers delete their records through it.
class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    CObject(CObject&&) = default;
    CObject& operator=(CObject&&) = default;
    virtual ~CObject() = default;
};
