// A top-level window object: creation through the backend, message routing to the object, the modal loop.
#pragma once

#include "TavikUI/Backend.h"
#include "TavikUI/Geometry.h"
#include "TavikUI/Messages.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace TavikUI {

class MWindow {
public:
    MWindow() = default;
    virtual ~MWindow();
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    virtual const wchar_t* GetWindowClassName() { return L"TavikClient"; }
    virtual const wchar_t* GetSuperClassName() { return nullptr; }
    virtual int ShowWindow(int cmd);
    // Unhandled messages end here (the default window procedure).
    virtual long OnWindowMessage(unsigned msg, unsigned wparam, long lparam);
    virtual int PreTranslateMessage(MSG*) { return 0; }
    virtual int OnInitDialog() { return 1; }
    virtual void OnDestroyMessage(WindowHandle) {}

    // Makes the window (hidden unless WS_VISIBLE) at `rect` in screen pixels and runs OnInitDialog.
    WindowHandle Create(WindowHandle parent, const wchar_t* name, uint32_t style, uint32_t ex_style, CRect rect);
    WindowHandle Create(WindowHandle parent) { return Create(parent, L"TavikClient", 0x80B, 0, {0, 0, 800, 600}); }
    WindowHandle Create(WindowHandle parent, CRect rect) { return Create(parent, L"TavikClient", 0x80B, 0, rect); }
    WindowHandle GetSafeHwnd() const { return m_hwnd; }
    WindowHandle GetParentHwnd() const { return m_parent; }
    bool IsWindow() const { return m_hwnd != 0; }
    // Runs the modal loop until the window is destroyed; the WM_CLOSE code, 0, or 0xFFFFFFFF without window.
    unsigned ShowModal(int cmd_show);
    int DestroyWindow();
    void CenterWindow(MWindow* relative_to = nullptr);
    int MoveWindow(int x, int y, int cx, int cy, int repaint);
    int MoveWindow(const CRect* rect, int repaint);
    int EnableWindow(int enable);
    int IsWindowEnabled() const { return m_hwnd && m_enabled ? 1 : 0; }
    int IsWindowVisible() const { return m_hwnd && m_visible ? 1 : 0; }
    int IsIconic() const { return m_hwnd && m_minimized ? 1 : 0; }
    int IsZoomed() const { return m_hwnd && m_maximized ? 1 : 0; }
    unsigned SetTimer(unsigned id, unsigned ms);
    int KillTimer(unsigned id);
    void SetCapture();
    int ReleaseCapture();
    void SetFocus();
    uint32_t GetStyle() const { return m_style; }
    uint32_t GetExStyle() const { return m_exStyle; }
    int ModifyStyle(uint32_t remove, uint32_t add);
    int ModifyExStyle(uint32_t remove, uint32_t add);
    CRect GetClientRect() const;
    CRect GetWindowRect() const { return m_hwnd ? m_rect : CRect(); }
    CPoint ClientToScreen(CPoint pt) const { return {pt.x + m_rect.left, pt.y + m_rect.top}; }
    CPoint ScreenToClient(CPoint pt) const { return {pt.x - m_rect.left, pt.y - m_rect.top}; }
    CRect ClientToScreen(CRect rc) const;
    CRect ScreenToClient(CRect rc) const;
    void SetWindowTextW(const std::wstring& text);
    std::wstring GetWindowTextW() const { return m_title; }
    int GetWindowTextLengthW() const { return m_hwnd ? static_cast<int>(m_title.size()) : -1; }
    // Adds `rect` (client pixels) to the update region; the loop sends WM_PAINT when it is idle.
    void InvalidateRect(CRect rect, int erase);
    long SendMessageW(unsigned msg, unsigned wparam, long lparam);
    void PostMessageW(unsigned msg, unsigned wparam, long lparam);
    void BringToTop();
    void SetCursor(CursorKind cursor);

    // Paint bookkeeping used by the loop.
    bool HasUpdateRegion() const { return !m_update.IsRectEmpty(); }
    CRect TakeUpdateRegion();
    std::chrono::steady_clock::time_point GetNextPaintTime() const { return m_nextPaint; }
    void NotePainted();
    // Paints the pending update region now (as UpdateWindow does).
    void UpdateWindow();
    // Moves the window so the pointer keeps its place while the left button is held after a drag start.
    void BeginDrag(CPoint client_pt);
    bool IsDragging() const { return m_dragging; }

    // Called by the loop with a message for this window.
    long HandleMessage(unsigned msg, unsigned wparam, long lparam);

protected:
    WindowHandle m_parent = 0;
    WindowHandle m_hwnd = 0;

private:
    void FinishDestroy(WindowHandle hwnd);

    uint32_t m_style = 0;
    uint32_t m_exStyle = 0;
    CRect m_rect;
    std::wstring m_title;
    bool m_visible = false;
    bool m_enabled = true;
    bool m_minimized = false;
    bool m_maximized = false;
    CRect m_restoreRect;
    CRect m_update;
    std::chrono::steady_clock::time_point m_nextPaint{};
    bool m_dragging = false;
    CPoint m_dragScreenStart;
    CPoint m_dragWindowStart;
    bool m_destroying = false;
};

} // namespace TavikUI
