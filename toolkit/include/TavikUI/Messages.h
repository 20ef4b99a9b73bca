// Window message numbers (their Win32 values, so handlers read as usual), key codes and the queued message.
#pragma once

#include <cstdint>
#include <functional>

namespace TavikUI {

// A window is named by a small number that is never reused while the process runs; 0 is no window.
using WindowHandle = uint32_t;

enum : unsigned {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_SHOWWINDOW = 0x0018,
    WM_GETMINMAXINFO = 0x0024,
    WM_WINDOWPOSCHANGING = 0x0046,
    WM_WINDOWPOSCHANGED = 0x0047,
    WM_NCCREATE = 0x0081,
    WM_NCDESTROY = 0x0082,
    WM_NCACTIVATE = 0x0086,
    WM_NCLBUTTONDOWN = 0x00A1,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_COMMAND = 0x0111,
    WM_TIMER = 0x0113,
    WM_CTLCOLOREDIT = 0x0133,
    WM_CTLCOLORSTATIC = 0x0138,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MOUSEWHEEL = 0x020A,
    WM_MOUSEHOVER = 0x02A1,
    WM_MOUSELEAVE = 0x02A3,
    WM_USER = 0x0400,
    UM_CLOSE_WINDOW = WM_USER + 66,
    // Runs the closure carried by the message; how other threads hand work to the UI thread.
    UM_RUN_TASK = WM_USER + 0x3F00,
    // The backend saw part of the window uncovered; the whole client is repainted.
    UM_EXPOSE = WM_USER + 0x3F01,
};

enum : unsigned { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_MAXIMIZE = 3, SW_SHOW = 5, SW_MINIMIZE = 6, SW_RESTORE = 9 };
enum : unsigned { HTCAPTION = 2 };
enum : unsigned { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10 };
enum : unsigned { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

enum : unsigned {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
    VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
    VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
    VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F4 = 0x73, VK_F12 = 0x7B, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91,
    VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE,
};

// Window styles the toolkit looks at.
enum : uint32_t {
    WS_POPUP = 0x80000000u, WS_CHILD = 0x40000000u, WS_VISIBLE = 0x10000000u, WS_CAPTION = 0x00C00000u,
    WS_THICKFRAME = 0x00040000u, WS_CLIPSIBLINGS = 0x04000000u, WS_CLIPCHILDREN = 0x02000000u,
    WS_EX_TOOLWINDOW = 0x00000080u, WS_EX_LAYERED = 0x00080000u, WS_EX_TOPMOST = 0x00000008u,
};

// One queued message; `task` is set only for UM_RUN_TASK.
struct MSG {
    WindowHandle hwnd = 0;
    unsigned message = WM_NULL;
    unsigned wParam = 0;
    long lParam = 0;
    std::function<void()> task;
};

// Client coordinates travel in lparam as two signed 16-bit halves, as in Win32.
inline long MakeLParam(int lo, int hi) {
    return static_cast<long>((static_cast<uint32_t>(static_cast<uint16_t>(hi)) << 16) | static_cast<uint16_t>(lo));
}
inline int GetXLParam(long lp) { return static_cast<int16_t>(static_cast<uint32_t>(lp) & 0xFFFF); }
inline int GetYLParam(long lp) { return static_cast<int16_t>((static_cast<uint32_t>(lp) >> 16) & 0xFFFF); }
inline unsigned MakeWParam(unsigned lo, unsigned hi) { return (hi << 16) | (lo & 0xFFFF); }
inline short GetWheelDelta(unsigned wp) { return static_cast<short>(wp >> 16); }

} // namespace TavikUI
