// Codes by which a control reports to its parent through OnBaseMessage.
#pragma once

namespace TavikUI {

enum ControlNotify : unsigned {
    NOTIFY_PRESS = 1,
    NOTIFY_CLICK = 2,
    NOTIFY_DBLCLK = 3,
    NOTIFY_RCLICK = 5,
    NOTIFY_CHECK = 7,
    NOTIFY_SCROLL = 8,
    NOTIFY_SUBITEM = 9,
    NOTIFY_FRAME_SELECTED = 24,
    NOTIFY_EDIT_CHANGED = 26,
    NOTIFY_COLOR = 27,
    NOTIFY_SPIN = 28,
    NOTIFY_EDIT_END = 29,
    NOTIFY_EDIT_BEGIN = 30,
    NOTIFY_ICON_CLICK = 31,
};

} // namespace TavikUI
