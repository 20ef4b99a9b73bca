// A backend without a display: windows are records, presented pixels are kept, input is posted by the caller.
#pragma once

#include "TavikUI/Backend.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

namespace TavikUI {

class OffscreenBackend : public Backend {
public:
    struct Window {
        WindowKind kind = WindowKind::Normal;
        std::wstring title;
        CRect rect;
        WindowHandle owner = 0;
        bool visible = false;
        bool minimized = false;
        bool captured = false;
        CursorKind cursor = CursorKind::Arrow;
        int presents = 0;
        CRect last_present;
    };

    WindowHandle CreateWindow(WindowKind kind, const std::wstring& title, const CRect& screen_rect,
                              WindowHandle owner) override;
    void DestroyWindow(WindowHandle hwnd) override;
    void ShowWindow(WindowHandle hwnd, bool show) override;
    void MinimizeWindow(WindowHandle hwnd) override;
    void MoveWindow(WindowHandle hwnd, const CRect& screen_rect) override;
    void RaiseWindow(WindowHandle) override {}
    void SetTitle(WindowHandle hwnd, const std::wstring& title) override;
    void SetCursor(WindowHandle hwnd, CursorKind cursor) override;
    void SetCapture(WindowHandle hwnd, bool capture) override;
    void Present(WindowHandle hwnd, const uint8_t* pixels, int stride, int width, int height,
                 const CRect& rect) override;
    bool GetCursorScreenPos(CPoint&) const override { return false; }
    CRect GetWorkArea(const CRect&) const override { return m_workArea; }
    void WaitEvents(int timeout_ms, const MessageSink& sink) override;
    void Wake() override;
    bool SetClipboardText(const std::wstring& text) override;
    std::wstring GetClipboardText() override { return m_clipboard; }
    void StartTextInput(WindowHandle, const CRect&) override {}
    void StopTextInput(WindowHandle) override {}

    // The window's record, or null when it does not exist (any more).
    const Window* Find(WindowHandle hwnd) const;
    int GetWakeCount() const { return m_waits; }
    void SetWorkArea(const CRect& rect) { m_workArea = rect; }

private:
    std::map<WindowHandle, Window> m_windows;
    WindowHandle m_next = 1;
    std::wstring m_clipboard;
    CRect m_workArea{0, 0, 1920, 1080};
    std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_woken = false;
    int m_waits = 0;
};

} // namespace TavikUI
