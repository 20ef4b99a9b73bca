// The vertical scroll bar of a panel.
#pragma once

#include "TavikUI/MScroll.h"

namespace TavikUI {

class CScrollVertical : public MScroll {
public:
    CScrollVertical(MObject* parent, unsigned id, CRect rect, int visible) : MScroll(parent, id, rect, visible, true) {}
};

} // namespace TavikUI
