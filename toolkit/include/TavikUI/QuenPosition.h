// A position given relative to a span: offset from an edge, offset from the centre, or a percentage.
#pragma once

namespace TavikUI {

struct QUEN_POSITION_ITEM {
    int mode = 0;     // 0 edge offset, 1 centre offset, 2 percentage
    int far_edge = 0; // mode 0: measured from `high`; mode 1: after the centre
    float value = 0;
};

// The coordinate inside [low, high] that `item` names; 0 for an unknown mode.
int PositionItem2Value(const QUEN_POSITION_ITEM& item, int low, int high);

} // namespace TavikUI
