// Root of the toolkit's objects: whatever can be the parent of a control.
#pragma once

#include "TavikUI/Geometry.h"

#include <cwchar>

namespace TavikUI {

class MControl;

class MObject {
public:
    virtual ~MObject() = default;
    // 1 when `name` equals GetClassNameW() exactly.
    virtual int IsClass(const wchar_t* name) {
        const wchar_t* own = GetClassNameW();
        return name && own && std::wcscmp(name, own) == 0 ? 1 : 0;
    }
    virtual const wchar_t* GetClassNameW() { return nullptr; }
    virtual const wchar_t* GetObjectClass() { return nullptr; }
    virtual const wchar_t* BaseObjectClassName() { return nullptr; }
    // A notification from a child control.
    virtual long OnBaseMessage(unsigned /*id*/, unsigned /*code*/, unsigned /*wparam*/, long /*lparam*/) { return 0; }
    // A child asks for `rect` to be repainted; `dirty` invalidates its cached picture first.
    virtual long OnControlUpdate(CRect /*rect*/, int /*dirty*/, MControl* /*control*/) { return 0; }
};

} // namespace TavikUI
