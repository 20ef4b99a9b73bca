// Windows without a display, for tests: state is recorded, the wait is a condition variable.
#include "TavikUI/OffscreenBackend.h"

#include <chrono>

namespace TavikUI {

WindowHandle OffscreenBackend::CreateWindow(WindowKind kind, const std::wstring& title, const CRect& screen_rect,
                                            WindowHandle owner) {
    WindowHandle hwnd = m_next++;
    Window w;
    w.kind = kind;
    w.title = title;
    w.rect = screen_rect;
    w.owner = owner;
    m_windows[hwnd] = w;
    return hwnd;
}

void OffscreenBackend::DestroyWindow(WindowHandle hwnd) { m_windows.erase(hwnd); }

void OffscreenBackend::ShowWindow(WindowHandle hwnd, bool show) {
    if (auto it = m_windows.find(hwnd); it != m_windows.end()) {
        it->second.visible = show;
        it->second.minimized = false;
    }
}

void OffscreenBackend::MinimizeWindow(WindowHandle hwnd) {
    if (auto it = m_windows.find(hwnd); it != m_windows.end())
        it->second.minimized = true;
}

void OffscreenBackend::MoveWindow(WindowHandle hwnd, const CRect& screen_rect) {
    if (auto it = m_windows.find(hwnd); it != m_windows.end())
        it->second.rect = screen_rect;
}

void OffscreenBackend::SetTitle(WindowHandle hwnd, const std::wstring& title) {
    if (auto it = m_windows.find(hwnd); it != m_windows.end())
        it->second.title = title;
}

void OffscreenBackend::SetCursor(WindowHandle hwnd, CursorKind cursor) {
    if (auto it = m_windows.find(hwnd); it != m_windows.end())
        it->second.cursor = cursor;
}

void OffscreenBackend::SetCapture(WindowHandle hwnd, bool capture) {
    if (auto it = m_windows.find(hwnd); it != m_windows.end())
        it->second.captured = capture;
}

void OffscreenBackend::Present(WindowHandle hwnd, const uint8_t*, int, int, int, const CRect& rect) {
    if (auto it = m_windows.find(hwnd); it != m_windows.end()) {
        ++it->second.presents;
        it->second.last_present = rect;
    }
}

void OffscreenBackend::WaitEvents(int timeout_ms, const MessageSink&) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (timeout_ms != 0)
        ++m_waits;
    auto woken = [this] { return m_woken; };
    if (timeout_ms < 0)
        m_cond.wait(lock, woken);
    else
        m_cond.wait_for(lock, std::chrono::milliseconds(timeout_ms), woken);
    m_woken = false;
}

void OffscreenBackend::Wake() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_woken = true;
    }
    m_cond.notify_one();
}

bool OffscreenBackend::SetClipboardText(const std::wstring& text) {
    m_clipboard = text;
    return true;
}

const OffscreenBackend::Window* OffscreenBackend::Find(WindowHandle hwnd) const {
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : &it->second;
}

} // namespace TavikUI
