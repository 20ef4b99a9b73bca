// The only seam between the toolkit and the windowing system: windows, presenting pixels, waking the loop.
#pragma once

#include "TavikUI/Geometry.h"
#include "TavikUI/Messages.h"

#include <cstdint>
#include <functional>
#include <string>

namespace TavikUI {

enum class WindowKind { Normal, Popup, Tooltip };
enum class CursorKind { Arrow, Wait, Cross, SizeWE, SizeNS, Hand, Help };

// Native events arrive translated into window messages (client coordinates in lparam, as Win32 sends them).
using MessageSink = std::function<void(const MSG&)>;

class Backend {
public:
    virtual ~Backend() = default;

    // A new hidden window at `screen_rect`; 0 when the system refuses.
    virtual WindowHandle CreateWindow(WindowKind kind, const std::wstring& title, const CRect& screen_rect,
                                      WindowHandle owner) = 0;
    virtual void DestroyWindow(WindowHandle hwnd) = 0;
    virtual void ShowWindow(WindowHandle hwnd, bool show) = 0;
    virtual void MinimizeWindow(WindowHandle hwnd) = 0;
    // Moves and resizes; the size of a borderless window is its client size.
    virtual void MoveWindow(WindowHandle hwnd, const CRect& screen_rect) = 0;
    virtual void RaiseWindow(WindowHandle hwnd) = 0;
    virtual void SetTitle(WindowHandle hwnd, const std::wstring& title) = 0;
    virtual void SetCursor(WindowHandle hwnd, CursorKind cursor) = 0;
    virtual void SetCapture(WindowHandle hwnd, bool capture) = 0;
    // Copies `rect` of a premultiplied ARGB32 image of the whole client area to the screen.
    virtual void Present(WindowHandle hwnd, const uint8_t* pixels, int stride, int width, int height,
                         const CRect& rect) = 0;
    // Pointer position in screen pixels; false when the backend cannot tell.
    virtual bool GetCursorScreenPos(CPoint& pt) const = 0;
    // Usable desktop area of the monitor nearest to `near_rect`.
    virtual CRect GetWorkArea(const CRect& near_rect) const = 0;

    // Waits up to `timeout_ms` (-1: without limit) for native events or Wake(), handing each event to `sink`.
    virtual void WaitEvents(int timeout_ms, const MessageSink& sink) = 0;
    // Ends a WaitEvents in progress or the next one; callable from any thread.
    virtual void Wake() = 0;

    virtual bool SetClipboardText(const std::wstring& text) = 0;
    virtual std::wstring GetClipboardText() = 0;
    virtual void StartTextInput(WindowHandle hwnd, const CRect& caret) = 0;
    virtual void StopTextInput(WindowHandle hwnd) = 0;
};

} // namespace TavikUI
