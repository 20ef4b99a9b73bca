// SDL2 windows and events translated into window messages; the wait blocks in SDL until an event or a wake.
#include "TavikUI/SdlBackend.h"

#include "TavikUI/MRender.h"

#include <SDL.h>
#include <atomic>
#include <map>

namespace TavikUI {

namespace {

unsigned VirtualKey(SDL_Keycode sym) {
    if (sym >= SDLK_a && sym <= SDLK_z)
        return 'A' + static_cast<unsigned>(sym - SDLK_a);
    if (sym >= SDLK_0 && sym <= SDLK_9)
        return '0' + static_cast<unsigned>(sym - SDLK_0);
    if (sym >= SDLK_F1 && sym <= SDLK_F12)
        return VK_F1 + static_cast<unsigned>(sym - SDLK_F1);
    if (sym >= SDLK_KP_1 && sym <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + static_cast<unsigned>(sym - SDLK_KP_1);
    switch (sym) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_PRINTSCREEN: return VK_SNAPSHOT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_LGUI: return VK_LWIN;
    case SDLK_RGUI: return VK_RWIN;
    case SDLK_APPLICATION: return VK_APPS;
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: return 0;
    }
}

unsigned MouseFlags(Uint32 buttons) {
    unsigned flags = 0;
    if (buttons & SDL_BUTTON_LMASK)
        flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK)
        flags |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK)
        flags |= MK_MBUTTON;
    SDL_Keymod mods = SDL_GetModState();
    if (mods & KMOD_SHIFT)
        flags |= MK_SHIFT;
    if (mods & KMOD_CTRL)
        flags |= MK_CONTROL;
    return flags;
}

class SdlBackend : public Backend {
public:
    bool Start() {
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // SIGINT and SIGTERM keep their default meaning: SDL would turn them into events nobody asked for.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // The paint manager captures the pointer itself while a control holds a button.
        SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        SDL_StopTextInput();
        m_wakeEvent = SDL_RegisterEvents(1);
        return m_wakeEvent != static_cast<Uint32>(-1);
    }

    ~SdlBackend() override {
        for (auto& [hwnd, win] : m_windows)
            if (win.sdl)
                SDL_DestroyWindow(win.sdl);
        for (auto& [kind, cursor] : m_cursors)
            SDL_FreeCursor(cursor);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    }

    WindowHandle CreateWindow(WindowKind kind, const std::wstring& title, const CRect& rect, WindowHandle) override {
        WindowHandle hwnd = m_next++;
        m_windows[hwnd] = Pending{kind, MRender::ToUtf8(title), rect, nullptr};
        return hwnd;
    }

    void DestroyWindow(WindowHandle hwnd) override {
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end())
            return;
        if (SDL_Window* win = it->second.sdl) {
            m_bySdlId.erase(SDL_GetWindowID(win));
            SDL_DestroyWindow(win);
        }
        m_windows.erase(it);
    }

    void ShowWindow(WindowHandle hwnd, bool show) override {
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end())
            return;
        if (!show) {
            if (it->second.sdl)
                SDL_HideWindow(it->second.sdl);
            return;
        }
        // The native window is made at its first showing: without a window manager X keeps a window
        // where it was mapped and ignores moves made while it was unmapped.
        if (!it->second.sdl && !Realise(hwnd, it->second))
            return;
        // A tooltip must not take the focus away from the window under the pointer.
        const bool passive = it->second.kind == WindowKind::Tooltip;
        SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, passive ? "1" : "0");
        SDL_ShowWindow(it->second.sdl);
        if (!passive) {
            SDL_RestoreWindow(it->second.sdl);
            // Take the focus now; otherwise it arrives with the first pointer entry and swallows that click.
            SDL_RaiseWindow(it->second.sdl);
            SDL_SetWindowInputFocus(it->second.sdl);
        }
    }

    void MinimizeWindow(WindowHandle hwnd) override {
        if (SDL_Window* win = Find(hwnd))
            SDL_MinimizeWindow(win);
    }

    void MoveWindow(WindowHandle hwnd, const CRect& rect) override {
        if (auto it = m_windows.find(hwnd); it != m_windows.end())
            it->second.rect = rect;
        if (SDL_Window* win = Find(hwnd)) {
            SDL_SetWindowPosition(win, rect.left, rect.top);
            SDL_SetWindowSize(win, std::max(rect.Width(), 1), std::max(rect.Height(), 1));
        }
    }

    void RaiseWindow(WindowHandle hwnd) override {
        if (SDL_Window* win = Find(hwnd))
            SDL_RaiseWindow(win);
    }

    void SetTitle(WindowHandle hwnd, const std::wstring& title) override {
        if (auto it = m_windows.find(hwnd); it != m_windows.end())
            it->second.title = MRender::ToUtf8(title);
        if (SDL_Window* win = Find(hwnd))
            SDL_SetWindowTitle(win, MRender::ToUtf8(title).c_str());
    }

    void SetCursor(WindowHandle, CursorKind kind) override {
        auto it = m_cursors.find(kind);
        if (it == m_cursors.end()) {
            SDL_SystemCursor id = SDL_SYSTEM_CURSOR_ARROW;
            switch (kind) {
            case CursorKind::Wait: id = SDL_SYSTEM_CURSOR_WAIT; break;
            case CursorKind::Cross: id = SDL_SYSTEM_CURSOR_CROSSHAIR; break;
            case CursorKind::SizeWE: id = SDL_SYSTEM_CURSOR_SIZEWE; break;
            case CursorKind::SizeNS: id = SDL_SYSTEM_CURSOR_SIZENS; break;
            case CursorKind::Hand: id = SDL_SYSTEM_CURSOR_HAND; break;
            default: break;
            }
            it = m_cursors.emplace(kind, SDL_CreateSystemCursor(id)).first;
        }
        if (it->second)
            SDL_SetCursor(it->second);
    }

    void SetCapture(WindowHandle, bool capture) override { SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE); }

    void Present(WindowHandle hwnd, const uint8_t* pixels, int stride, int width, int height,
                 const CRect& rect) override {
        SDL_Window* win = Find(hwnd);
        if (!win)
            return;
        SDL_Surface* target = SDL_GetWindowSurface(win);
        if (!target)
            return;
        SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(pixels), width, height, 32, stride,
                                                              SDL_PIXELFORMAT_ARGB8888);
        if (!src)
            return;
        SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
        SDL_Rect r{rect.left, rect.top, rect.Width(), rect.Height()};
        SDL_Rect d = r;
        SDL_BlitSurface(src, &r, target, &d);
        SDL_FreeSurface(src);
        SDL_UpdateWindowSurfaceRects(win, &r, 1);
    }

    bool GetCursorScreenPos(CPoint& pt) const override {
        SDL_GetGlobalMouseState(&pt.x, &pt.y);
        return true;
    }

    CRect GetWorkArea(const CRect& near_rect) const override {
        SDL_Point p{near_rect.left + near_rect.Width() / 2, near_rect.top + near_rect.Height() / 2};
        int display = SDL_GetPointDisplayIndex(&p);
        SDL_Rect r{0, 0, 1920, 1080};
        if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &r) != 0)
            SDL_GetDisplayBounds(0, &r);
        return CRect(r.x, r.y, r.x + r.w, r.y + r.h);
    }

    void WaitEvents(int timeout_ms, const MessageSink& sink) override {
        SDL_Event e;
        int got = timeout_ms < 0 ? SDL_WaitEvent(&e) : timeout_ms == 0 ? SDL_PollEvent(&e) : SDL_WaitEventTimeout(&e, timeout_ms);
        while (got) {
            Translate(e, sink);
            got = SDL_PollEvent(&e);
        }
    }

    void Wake() override {
        // One pending wake event is enough however many threads post.
        if (m_wakePending.exchange(true))
            return;
        SDL_Event e{};
        e.type = m_wakeEvent;
        SDL_PushEvent(&e);
    }

    bool SetClipboardText(const std::wstring& text) override {
        return SDL_SetClipboardText(MRender::ToUtf8(text).c_str()) == 0;
    }

    std::wstring GetClipboardText() override {
        char* text = SDL_GetClipboardText();
        std::wstring out = text ? MRender::FromUtf8(text) : std::wstring();
        SDL_free(text);
        return out;
    }

    void StartTextInput(WindowHandle, const CRect& caret) override {
        SDL_Rect r{caret.left, caret.top, caret.Width(), caret.Height()};
        SDL_SetTextInputRect(&r);
        SDL_StartTextInput();
    }

    void StopTextInput(WindowHandle) override { SDL_StopTextInput(); }

private:
    struct Pending {
        WindowKind kind = WindowKind::Normal;
        std::string title;
        CRect rect;
        SDL_Window* sdl = nullptr;
    };

    bool Realise(WindowHandle hwnd, Pending& w) {
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
        if (w.kind == WindowKind::Popup)
            flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
        else if (w.kind == WindowKind::Tooltip)
            flags |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR;
        w.sdl = SDL_CreateWindow(w.title.c_str(), w.rect.left, w.rect.top, std::max(w.rect.Width(), 1),
                                 std::max(w.rect.Height(), 1), flags);
        if (!w.sdl)
            return false;
        m_bySdlId[SDL_GetWindowID(w.sdl)] = hwnd;
        return true;
    }

    SDL_Window* Find(WindowHandle hwnd) const {
        auto it = m_windows.find(hwnd);
        return it == m_windows.end() ? nullptr : it->second.sdl;
    }

    WindowHandle FromSdl(Uint32 id) const {
        auto it = m_bySdlId.find(id);
        return it == m_bySdlId.end() ? 0 : it->second;
    }

    // SDL names the window that has its mouse focus, which can still be none right after the focus arrived;
    // the window the pointer was last seen in is the one meant then.
    WindowHandle MouseWindow(Uint32 id) {
        if (WindowHandle hwnd = FromSdl(id)) {
            m_lastMouseWindow = hwnd;
            return hwnd;
        }
        return m_windows.count(m_lastMouseWindow) ? m_lastMouseWindow : 0;
    }

    static void Emit(const MessageSink& sink, WindowHandle hwnd, unsigned msg, unsigned wparam, long lparam) {
        if (!hwnd)
            return;
        MSG m;
        m.hwnd = hwnd;
        m.message = msg;
        m.wParam = wparam;
        m.lParam = lparam;
        sink(m);
    }

    void Translate(const SDL_Event& e, const MessageSink& sink) {
        if (e.type == m_wakeEvent) {
            m_wakePending = false;
            return;
        }
        switch (e.type) {
        case SDL_MOUSEMOTION:
            Emit(sink, MouseWindow(e.motion.windowID), WM_MOUSEMOVE, MouseFlags(e.motion.state),
                 MakeLParam(e.motion.x, e.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: TranslateButton(e.button, sink); break;
        case SDL_MOUSEWHEEL: {
            int x = 0, y = 0;
            SDL_GetGlobalMouseState(&x, &y);
            int delta = e.wheel.y * 120 * (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1);
            Emit(sink, MouseWindow(e.wheel.windowID), WM_MOUSEWHEEL,
                 MakeWParam(MouseFlags(SDL_GetMouseState(nullptr, nullptr)), static_cast<uint16_t>(delta)),
                 MakeLParam(x, y));
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            unsigned vk = VirtualKey(e.key.keysym.sym);
            if (!vk)
                break;
            bool sys = (e.key.keysym.mod & KMOD_ALT) || vk == VK_MENU;
            unsigned msg = e.type == SDL_KEYDOWN ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
            long lparam = 1 | (e.key.repeat ? (1L << 30) : 0);
            Emit(sink, FromSdl(e.key.windowID), msg, vk, lparam);
            break;
        }
        case SDL_TEXTINPUT: {
            std::wstring text = MRender::FromUtf8(e.text.text);
            for (wchar_t c : text)
                Emit(sink, FromSdl(e.text.windowID), WM_CHAR, static_cast<unsigned>(c), 1);
            break;
        }
        case SDL_WINDOWEVENT: TranslateWindowEvent(e.window, sink); break;
        default: break;
        }
    }

    void TranslateButton(const SDL_MouseButtonEvent& b, const MessageSink& sink) {
        const bool down = b.type == SDL_MOUSEBUTTONDOWN;
        unsigned msg = 0;
        // The second press of a double click arrives as the double-click message, as Win32 sends it.
        const bool dbl = down && b.clicks >= 2 && b.clicks % 2 == 0;
        switch (b.button) {
        case SDL_BUTTON_LEFT: msg = down ? (dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP; break;
        case SDL_BUTTON_RIGHT: msg = down ? (dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP; break;
        case SDL_BUTTON_MIDDLE: msg = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
        default: return;
        }
        Emit(sink, MouseWindow(b.windowID), msg, MouseFlags(SDL_GetMouseState(nullptr, nullptr)), MakeLParam(b.x, b.y));
    }

    void TranslateWindowEvent(const SDL_WindowEvent& w, const MessageSink& sink) {
        WindowHandle hwnd = FromSdl(w.windowID);
        switch (w.event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESTORED: Emit(sink, hwnd, UM_EXPOSE, 0, 0); break;
        case SDL_WINDOWEVENT_MOVED: Emit(sink, hwnd, WM_MOVE, 0, MakeLParam(w.data1, w.data2)); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: Emit(sink, hwnd, UM_EXPOSE, 0, 0); break;
        case SDL_WINDOWEVENT_LEAVE: Emit(sink, hwnd, WM_MOUSELEAVE, 0, 0); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: Emit(sink, hwnd, WM_NCACTIVATE, 1, 0); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: Emit(sink, hwnd, WM_NCACTIVATE, 0, 0); break;
        case SDL_WINDOWEVENT_CLOSE: Emit(sink, hwnd, WM_CLOSE, 0, 0); break;
        default: break;
        }
    }

    std::map<WindowHandle, Pending> m_windows;
    std::map<Uint32, WindowHandle> m_bySdlId;
    std::map<CursorKind, SDL_Cursor*> m_cursors;
    WindowHandle m_next = 1;
    WindowHandle m_lastMouseWindow = 0;
    Uint32 m_wakeEvent = 0;
    std::atomic<bool> m_wakePending{false};
};

} // namespace

std::unique_ptr<Backend> CreateSdlBackend() {
    auto backend = std::make_unique<SdlBackend>();
    if (!backend->Start())
        return nullptr;
    return backend;
}

} // namespace TavikUI
