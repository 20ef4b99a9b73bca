// Process-wide toolkit settings, the backend, the message queue with its timers, and the set of windows.
#pragma once

#include "TavikUI/Backend.h"
#include "TavikUI/Messages.h"

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace TavikUI {

class MWindow;

class Manager {
public:
    // Settings kept for the application.
    static void SetInstance(void* instance) { s_instance = instance; }
    static void* GetInstance() { return s_instance; }
    static std::wstring GetTheme() { return L"theme1/"; }
    static void SetDeviceName(const std::wstring& name) { s_deviceName = name; }
    static std::wstring GetDeviceName() { return s_deviceName; }
    static void SetFont(const std::wstring& name, int size);
    static void SetFontName(const std::wstring& name) { s_fontName = name; }
    static std::wstring GetFontName() { return s_fontName; }
    static int GetFontWidth() { return s_fontWidth; }
    static uint32_t GetSelectColor() { return s_selectColor; }
    static unsigned NextControlID() { return ++s_controlID; }

    // Folder of the running program with a trailing '/', where skins/ and font/ are looked up.
    static std::wstring GetModuleFolder();
    // Replaces the program folder (tests and tools that run from elsewhere).
    static void SetModuleFolder(const std::wstring& folder) { s_moduleFolder = folder; }
    // Program folder + "skins/" + theme.
    static std::wstring GetSkinFolder();

    // Starts the toolkit: takes `backend`, or the SDL one when null. False when no backend could start.
    [[nodiscard]] static bool InitGdiplus(std::unique_ptr<Backend> backend = nullptr);
    // Releases the backend; every window must be gone by then.
    static void UnInitGdiplus();
    static Backend* GetBackend() { return s_backend; }

    // Queue. PostMessage and PostTask may be called from any thread; the rest only on the UI thread.
    static void PostMessage(WindowHandle hwnd, unsigned msg, unsigned wparam, long lparam);
    static void PostTask(std::function<void()> task);
    static void PostQuitMessage(int code);
    // Waits for the next message; false for WM_QUIT (its code in wParam), as GetMessageW returns 0.
    static bool GetMessage(MSG& msg);
    // Hands the message to its window (or runs its task); returns the handler's result.
    static long DispatchMessage(const MSG& msg);
    // Delivers a message to the window object at once, bypassing the queue.
    static long SendMessage(WindowHandle hwnd, unsigned msg, unsigned wparam, long lparam);
    // Runs GetMessage/DispatchMessage until WM_QUIT; drops messages while Alt and F4 are held.
    static int MessageLoop();
    // Dispatches what is queued or due now without waiting (tests drive the loop with it).
    static void PumpPending();
    // Alt+F4 guard of the loop: 1 while both keys are down.
    static int PreTranslateMessage(MSG* msg);

    // Timers of the loop. A window timer posts WM_TIMER(id); a callback timer runs `fn` on the UI thread.
    static bool SetTimer(WindowHandle hwnd, unsigned id, unsigned ms);
    static bool KillTimer(WindowHandle hwnd, unsigned id);
    static bool IsTimerRunning(WindowHandle hwnd, unsigned id);
    static unsigned GetTimerPeriod(WindowHandle hwnd, unsigned id);
    static unsigned SetCallbackTimer(unsigned ms, std::function<void()> fn);
    static void KillCallbackTimer(unsigned id);
    static int CountActiveTimers();
    static void KillWindowTimers(WindowHandle hwnd);

    // State of a virtual key as tracked from the key messages dispatched so far.
    static bool IsKeyDown(unsigned vk);
    static void ResetKeyState();

    // The set of live windows, by handle.
    static void AddWnd(MWindow* wnd);
    static void DeleteWnd(MWindow* wnd);
    static MWindow* FindWnd(WindowHandle hwnd);
    static const std::set<MWindow*>& GetWindows();
    // The popup (menu) that closes when input goes to any other window.
    static void SetActivePopup(MWindow* popup) { s_activePopup = popup; }
    static MWindow* GetActivePopup() { return s_activePopup; }

private:
    static void* s_instance;
    static std::wstring s_deviceName;
    static std::wstring s_fontName;
    static int s_fontWidth;
    static uint32_t s_selectColor;
    static unsigned s_controlID;
    static std::wstring s_moduleFolder;
    // Released only by UnInitGdiplus: a display connection must not be touched while the process exits.
    static Backend* s_backend;
    static MWindow* s_activePopup;
};

} // namespace TavikUI
