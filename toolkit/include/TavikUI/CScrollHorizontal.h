// The horizontal scroll bar of a panel.
#pragma once

#include "TavikUI/MScroll.h"

namespace TavikUI {

class CScrollHorizontal : public MScroll {
public:
    CScrollHorizontal(MObject* parent, unsigned id, CRect rect, int visible)
        : MScroll(parent, id, rect, visible, false) {}
};

} // namespace TavikUI
