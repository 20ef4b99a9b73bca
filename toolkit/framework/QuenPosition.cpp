// Resolution of relative positions inside a span.
#include "TavikUI/QuenPosition.h"

#include <algorithm>

namespace TavikUI {

int PositionItem2Value(const QUEN_POSITION_ITEM& item, int low, int high) {
    switch (item.mode) {
    case 0: {
        int v = static_cast<int>(item.value);
        return item.far_edge ? high - v : low + v;
    }
    case 1: {
        int v = static_cast<int>(item.value);
        int centre = low + (high - low) / 2;
        return item.far_edge ? centre + v : centre - v;
    }
    case 2:
        return std::min(high, static_cast<int>(low + (high - low) * item.value / 100));
    default:
        return 0;
    }
}

} // namespace TavikUI
