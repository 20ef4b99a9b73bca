// Process-wide settings, the message queue, the loop's timers and the window set.
#include "TavikUI/Manager.h"

#include "TavikUI/MWindow.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <unistd.h>

namespace TavikUI {

std::unique_ptr<Backend> CreateSdlBackend();

void* Manager::s_instance = nullptr;
std::wstring Manager::s_deviceName = L"Gaming Keyboard";
std::wstring Manager::s_fontName = L"Arial";
int Manager::s_fontWidth = 14;
uint32_t Manager::s_selectColor = 0xFF285055;
unsigned Manager::s_controlID = 0;
std::wstring Manager::s_moduleFolder;
Backend* Manager::s_backend = nullptr;
MWindow* Manager::s_activePopup = nullptr;

namespace {

using Clock = std::chrono::steady_clock;

struct LoopTimer {
    WindowHandle hwnd = 0;
    unsigned id = 0;
    unsigned period = 0;
    Clock::time_point due;
    std::function<void()> fn;
};

// The queue is shared with other threads; timers, key state and windows belong to the UI thread.
struct LoopState {
    std::mutex mutex;
    std::deque<MSG> queue;
    std::vector<LoopTimer> timers;
    unsigned nextCallbackId = 0x10000;
    std::set<MWindow*> windows;
    bool keys[256] = {};
};

LoopState& State() {
    static LoopState state;
    return state;
}

void Push(MSG msg) {
    std::lock_guard<std::mutex> lock(State().mutex);
    State().queue.push_back(std::move(msg));
}

bool Pop(MSG& msg) {
    std::lock_guard<std::mutex> lock(State().mutex);
    if (State().queue.empty())
        return false;
    msg = std::move(State().queue.front());
    State().queue.pop_front();
    return true;
}

// Queues the messages of every due timer; returns how many.
int FireDueTimers(Clock::time_point now) {
    int fired = 0;
    for (auto& t : State().timers) {
        if (t.due > now)
            continue;
        t.due = now + std::chrono::milliseconds(t.period);
        MSG msg;
        if (t.fn) {
            msg.message = UM_RUN_TASK;
            msg.task = t.fn;
        } else {
            msg.hwnd = t.hwnd;
            msg.message = WM_TIMER;
            msg.wParam = t.id;
        }
        Push(std::move(msg));
        ++fired;
    }
    return fired;
}

bool IsInputMessage(unsigned msg) {
    return (msg >= WM_MOUSEMOVE && msg <= WM_MOUSEWHEEL) || (msg >= WM_KEYDOWN && msg <= WM_SYSKEYUP) ||
           msg == WM_CHAR;
}

bool IsButtonDown(unsigned msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
           msg == WM_RBUTTONDBLCLK;
}

} // namespace

void Manager::SetFont(const std::wstring& name, int size) {
    s_fontName = name;
    if (size > 0)
        s_fontWidth = size;
}

std::wstring Manager::GetModuleFolder() {
    if (!s_moduleFolder.empty())
        return s_moduleFolder;
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return L"./";
    return exe.parent_path().wstring() + L"/";
}

std::wstring Manager::GetSkinFolder() { return GetModuleFolder() + L"skins/" + GetTheme(); }

bool Manager::InitGdiplus(std::unique_ptr<Backend> backend) {
    if (!backend)
        backend = CreateSdlBackend();
    if (!backend)
        return false;
    delete s_backend;
    s_backend = backend.release();
    return true;
}

void Manager::UnInitGdiplus() {
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        State().queue.clear();
    }
    State().timers.clear();
    ResetKeyState();
    s_activePopup = nullptr;
    delete s_backend;
    s_backend = nullptr;
}

void Manager::PostMessage(WindowHandle hwnd, unsigned msg, unsigned wparam, long lparam) {
    MSG m;
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wparam;
    m.lParam = lparam;
    Push(std::move(m));
    if (s_backend)
        s_backend->Wake();
}

void Manager::PostTask(std::function<void()> task) {
    MSG m;
    m.message = UM_RUN_TASK;
    m.task = std::move(task);
    Push(std::move(m));
    if (s_backend)
        s_backend->Wake();
}

void Manager::PostQuitMessage(int code) { PostMessage(0, WM_QUIT, static_cast<unsigned>(code), 0); }

bool Manager::GetMessage(MSG& msg) {
    const MessageSink sink = [](const MSG& m) { Push(m); };
    for (;;) {
        if (Pop(msg))
            return msg.message != WM_QUIT;
        auto now = Clock::now();
        if (FireDueTimers(now) > 0)
            continue;
        auto deadline = Clock::time_point::max();
        for (auto& t : State().timers)
            deadline = std::min(deadline, t.due);
        for (MWindow* w : State().windows) {
            if (!w->HasUpdateRegion())
                continue;
            if (w->GetNextPaintTime() <= now) {
                msg = MSG{};
                msg.hwnd = w->GetSafeHwnd();
                msg.message = WM_PAINT;
                return true;
            }
            deadline = std::min(deadline, w->GetNextPaintTime());
        }
        int timeout = -1;
        if (deadline != Clock::time_point::max()) {
            auto ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
            timeout = static_cast<int>(std::max<long long>(0, ms));
        }
        if (!s_backend)
            return false;
        s_backend->WaitEvents(timeout, sink);
    }
}

long Manager::DispatchMessage(const MSG& msg) {
    if (msg.message == UM_RUN_TASK) {
        if (msg.task)
            msg.task();
        return 0;
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
        State().keys[msg.wParam & 0xFF] = true;
    else if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP)
        State().keys[msg.wParam & 0xFF] = false;
    // A press anywhere but in the open popup deactivates the popup, as a click outside a menu does.
    if (s_activePopup && IsButtonDown(msg.message) && msg.hwnd != s_activePopup->GetSafeHwnd()) {
        MWindow* popup = s_activePopup;
        s_activePopup = nullptr;
        popup->HandleMessage(WM_NCACTIVATE, 0, 0);
    }
    MWindow* wnd = FindWnd(msg.hwnd);
    if (!wnd)
        return 0;
    if (IsInputMessage(msg.message) && !wnd->IsWindowEnabled())
        return 0;
    return wnd->HandleMessage(msg.message, msg.wParam, msg.lParam);
}

long Manager::SendMessage(WindowHandle hwnd, unsigned msg, unsigned wparam, long lparam) {
    MWindow* wnd = FindWnd(hwnd);
    return wnd ? wnd->HandleMessage(msg, wparam, lparam) : 0;
}

int Manager::PreTranslateMessage(MSG* msg) {
    (void)msg;
    return IsKeyDown(VK_MENU) && IsKeyDown(VK_F4) ? 1 : 0;
}

int Manager::MessageLoop() {
    MSG msg;
    while (GetMessage(msg)) {
        if (PreTranslateMessage(&msg))
            continue;
        DispatchMessage(msg);
    }
    return static_cast<int>(msg.wParam);
}

void Manager::PumpPending() {
    const MessageSink sink = [](const MSG& m) { Push(m); };
    for (int round = 0; round < 64; ++round) {
        if (s_backend)
            s_backend->WaitEvents(0, sink);
        FireDueTimers(Clock::now());
        MSG msg;
        bool any = false;
        while (Pop(msg)) {
            any = true;
            if (msg.message == WM_QUIT) {
                Push(msg); // leave it for a loop that can end on it
                return;
            }
            MWindow* target = FindWnd(msg.hwnd);
            if (!target || !target->PreTranslateMessage(&msg))
                DispatchMessage(msg);
        }
        std::vector<MWindow*> dirty;
        for (MWindow* w : State().windows)
            if (w->HasUpdateRegion())
                dirty.push_back(w);
        for (MWindow* w : dirty)
            if (State().windows.count(w))
                w->UpdateWindow();
        if (!any && dirty.empty())
            return;
    }
}

bool Manager::SetTimer(WindowHandle hwnd, unsigned id, unsigned ms) {
    if (!hwnd || !FindWnd(hwnd))
        return false;
    auto due = Clock::now() + std::chrono::milliseconds(ms);
    for (auto& t : State().timers) {
        if (!t.fn && t.hwnd == hwnd && t.id == id) {
            t.period = ms;
            t.due = due;
            return true;
        }
    }
    State().timers.push_back({hwnd, id, ms, due, nullptr});
    return true;
}

bool Manager::KillTimer(WindowHandle hwnd, unsigned id) {
    auto& timers = State().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const LoopTimer& t) { return !t.fn && t.hwnd == hwnd && t.id == id; });
    if (it == timers.end())
        return false;
    timers.erase(it);
    return true;
}

bool Manager::IsTimerRunning(WindowHandle hwnd, unsigned id) { return GetTimerPeriod(hwnd, id) != 0; }

unsigned Manager::GetTimerPeriod(WindowHandle hwnd, unsigned id) {
    for (auto& t : State().timers)
        if (!t.fn && t.hwnd == hwnd && t.id == id)
            return std::max(1u, t.period);
    return 0;
}

unsigned Manager::SetCallbackTimer(unsigned ms, std::function<void()> fn) {
    unsigned id = ++State().nextCallbackId;
    State().timers.push_back({0, id, ms, Clock::now() + std::chrono::milliseconds(ms), std::move(fn)});
    return id;
}

void Manager::KillCallbackTimer(unsigned id) {
    auto& timers = State().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const LoopTimer& t) { return t.fn && t.id == id; }),
                 timers.end());
}

int Manager::CountActiveTimers() { return static_cast<int>(State().timers.size()); }

void Manager::KillWindowTimers(WindowHandle hwnd) {
    auto& timers = State().timers;
    timers.erase(
        std::remove_if(timers.begin(), timers.end(), [&](const LoopTimer& t) { return !t.fn && t.hwnd == hwnd; }),
        timers.end());
}

bool Manager::IsKeyDown(unsigned vk) { return State().keys[vk & 0xFF]; }

void Manager::ResetKeyState() { std::fill(std::begin(State().keys), std::end(State().keys), false); }

void Manager::AddWnd(MWindow* wnd) { State().windows.insert(wnd); }

void Manager::DeleteWnd(MWindow* wnd) {
    State().windows.erase(wnd);
    if (s_activePopup == wnd)
        s_activePopup = nullptr;
}

MWindow* Manager::FindWnd(WindowHandle hwnd) {
    if (!hwnd)
        return nullptr;
    for (MWindow* w : State().windows)
        if (w->GetSafeHwnd() == hwnd)
            return w;
    return nullptr;
}

const std::set<MWindow*>& Manager::GetWindows() { return State().windows; }

} // namespace TavikUI
