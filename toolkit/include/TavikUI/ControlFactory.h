// Creation of controls by class name, with the window-level and panel-level tables.
#pragma once

#include "TavikUI/MControl.h"

#include <memory>

namespace TavikUI {

enum class CreateLevel { Window, Panel };

using ControlCreator = std::unique_ptr<MControl> (*)(MObject* parent, unsigned id, CRect rect, const wchar_t* title,
                                                     int visible, int enabled);

class ControlFactory {
public:
    // A control of the named class, or null for an empty, unknown or level-forbidden name.
    static std::unique_ptr<MControl> Create(CreateLevel level, MObject* parent, const wchar_t* class_name,
                                            unsigned id, CRect rect, const wchar_t* title, int visible,
                                            int enabled);
    // Supplies the constructor of a class of the table; the control library registers its classes here.
    static bool Register(const wchar_t* class_name, ControlCreator creator);
    static bool IsKnown(const wchar_t* class_name, CreateLevel level);
};

} // namespace TavikUI
