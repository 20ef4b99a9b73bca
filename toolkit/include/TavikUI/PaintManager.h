// Owns a window's controls, routes its input to them, runs their timers, caches images and paints the client.
#pragma once

#include "TavikUI/ImgResInfo.h"
#include "TavikUI/MControl.h"
#include "TavikUI/Messages.h"
#include "TavikUI/VortaTimer.h"

#include <cairo.h>
#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace TavikUI {

class MWindow;

enum MsgLevel { MsgInfo = 0, MsgWarning = 1, MsgError = 2 };

class PaintManager : public VortaTimer {
public:
    // `owner` is the object every top-level control gets as its parent.
    explicit PaintManager(MObject* owner);
    ~PaintManager() override;
    PaintManager(const PaintManager&) = delete;
    PaintManager& operator=(const PaintManager&) = delete;

    // Binds the manager to its window; does nothing for handle 0.
    void Init(WindowHandle hwnd, MWindow* window);
    bool IsInitialised() const { return m_initialised; }
    WindowHandle GetHwnd() const { return m_hwnd; }
    MWindow* GetWindow() const { return m_window; }
    MObject* GetOwnerObject() const { return m_owner; }
    // Message routing; non-zero when handled.
    long OnWindowMessage(unsigned msg, unsigned wparam, long lparam);
    // Tab navigation; 1 when the message was consumed.
    int PreTranslateMessage(MSG* msg);
    long OnControlUpdate(CRect rect, int dirty, MControl* control);
    void Invalidate();
    void InvalidateRect(CRect rect, int erase);
    // Paints `rect` of the client into the surface and presents it; the surface is (re)made at client size.
    void Paint(CRect rect);
    cairo_surface_t* GetSurface() const { return m_surface; }
    CRect GetClientRect() const;

    void SetBackColor(uint32_t background, uint32_t frame);
    uint32_t GetBackColor() const { return m_backColor; }
    int LoadBKImage(const std::wstring& name);
    void SetBackMode(int mode, int corner) { m_backMode = mode; m_corner = corner; }
    void SetLayeredWindow(int on) { m_layered = on; }
    int IsLayered() const { return m_layered; }
    void EnableWndDrag(int on) { m_wndDrag = on; }
    int IsWndDragEnabled() const { return m_wndDrag; }
    void SetCaptionRect(CRect rect) { m_captionRect = rect; }
    CRect GetCaptionRect() const { return m_captionRect; }
    void SetWindowMaxSize(CSize size) { m_maxSize = size; }
    void SetWindowMixSize(CSize size) { m_minSize = size; }
    CSize GetWindowMaxSize() const { return m_maxSize; }
    CSize GetWindowMinSize() const { return m_minSize; }
    uint32_t GetDefaultEnabledColor() const { return m_disabledColor; }
    void SetDefaultEnabledColor(uint32_t colour) { m_disabledColor = colour; }
    void SetScrollResID(unsigned vertical, unsigned horizontal) { m_scrollResV = vertical; m_scrollResH = horizontal; }
    unsigned GetScrollResIDV() const { return m_scrollResV; }
    unsigned GetScrollResIDH() const { return m_scrollResH; }

    // Controls (window-level class table). The manager owns what it creates.
    MControl* CreateControl(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title,
                            int visible, int enabled);
    MControl* CreateArea(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title, int visible,
                         int enabled);
    // Attaches a control made by its constructor; kind 0 as an area, 1 as a control.
    MControl* AddControl(std::unique_ptr<MControl> control, int kind);
    MControl* GetControl(unsigned id);
    const ControlList& GetControls() const { return m_controls; }
    const ControlList& GetAreas() const { return m_areas; }
    int RemoveControl(MControl* control);
    void ClearAllControls();
    void ClearAreaControls();
    void ClearControls();
    // Drops every non-owning link to `control` (hover, focus, timers, animation); called by its destructor.
    void ForgetControl(MControl* control);

    // Image cache (skin folder files, and toolkit or application resources by id).
    ImgResInfo* AddImgResInfo(const wchar_t* name, int count);
    ImgResInfo* AddImgResInfo(unsigned id, const std::wstring& type, int count, int own_module);
    void ClearImgResInfo();

    // Per-control timers on this window, and the animation list.
    int SetTimer(MControl* control, unsigned key, unsigned ms);
    int KillTimer(MControl* control, unsigned key);
    void KillTimer(MControl* control);
    void ClearTimers();
    unsigned GetControlTimerId(MControl* control, unsigned key) const;
    void AddMTimer(MControl* control);
    void DeleteQuenTimer(MControl* control);
    void OnMTimer(unsigned id) override;
    unsigned SetAnimationTimer(unsigned period_ms);
    // Re-arms the animation timer when a registered, visible control wants ticks.
    void WakeMTimer();
    bool IsAnimationArmed() const;

    MControl* GetFocusControl() const { return m_focus; }
    void SetFocusControl(MControl* control);
    MControl* GetHoverControl() const { return m_hover; }
    MControl* GetNextFocusableControl();
    MControl* GetPrevFocusableControl();

    void SetTooltip(const std::wstring& text, CRect rect);
    void ClearTooltip();
    unsigned GetTooltipOwner() const { return m_tooltipOwner; }
    void SetTooltipOwner(unsigned id) { m_tooltipOwner = id; }
    const std::wstring& GetTooltipText() const { return m_tooltipText; }
    int GetTooltipShowCount() const { return m_tooltipShows; }
    // Where the tip is painted, in client pixels; empty while hidden.
    CRect GetTooltipBox() const { return m_tooltipBox; }

    void SetMessage(const std::wstring& text, CRect rect, MsgLevel level);
    void SetProgress(int value, const std::wstring& text, CRect rect);
    int GetOverlayAlpha() const { return m_overlayAlpha; }
    int GetShownProgress() const { return m_shownProgress; }
    CRect GetOverlayRect() const { return m_overlayRect; }

    // Fonts: the global family is the only one controls use; private font files are added with fontconfig.
    bool AddTempFont(const wchar_t* name, const wchar_t* file);
    std::wstring FindTempFont(const wchar_t* name);
    void ClearTempFont();

    void DestroyData();
    // Paints since creation; lets tests and benchmarks see what a request cost.
    int GetPaintCount() const { return m_paints; }
    CRect GetLastPaintRect() const { return m_lastPaint; }

    static constexpr unsigned kTimerMessageShow = 66;
    static constexpr unsigned kTimerMessageFade = 88;
    static constexpr unsigned kTimerProgress = 99;

private:
    void OnMouseMove(unsigned flags, CPoint pt);
    void OnButtonDown(unsigned flags, CPoint pt, bool left);
    void OnButtonUp(unsigned flags, CPoint pt, bool left);
    void OnDblClk(unsigned flags, CPoint pt, bool left);
    void OnMouseWheel(unsigned wparam, long lparam);
    void OnMouseLeave();
    void OnDeactivate();
    void OnKeyDown(unsigned key);
    void OnTimerMessage(unsigned id);
    void DrawBackground(cairo_t* cr);
    void DrawOverlay(cairo_t* cr);
    bool AnyAnimationWanted();
    void EnsureSurface();
    void SetCapture(bool on);
    void BeginWindowDrag(CPoint pt);
    void PaintTooltip();
    void DrawTooltip(cairo_t* cr);
    unsigned ModifierWord() const;
    MControl* Attach(std::unique_ptr<MControl> control, int kind);

    struct ControlTimer {
        unsigned key = 0;
        unsigned timer_id = 0;
        bool killed = false;
        MControl* control = nullptr;
    };

    MObject* m_owner;
    bool m_initialised = false;
    WindowHandle m_hwnd = 0;
    MWindow* m_window = nullptr;
    uint32_t m_backColor = 0x130D09;
    uint32_t m_frameColor = 0x555028;
    CRect m_captionRect;
    CSize m_maxSize;
    CSize m_minSize;
    int m_layered = 0;
    cairo_surface_t* m_bkImage = nullptr;
    int m_backMode = 0;
    int m_corner = 4;
    unsigned m_scrollResV = 0;
    unsigned m_scrollResH = 0;
    uint32_t m_disabledColor = 0x808080;

    std::wstring m_overlayText;
    MsgLevel m_overlayLevel = MsgInfo;
    int m_overlayAlpha = 0;
    int m_shownProgress = 0;
    int m_targetProgress = 0;
    CRect m_overlayRect;

    unsigned m_tooltipOwner = 0;
    std::wstring m_tooltipText;
    CRect m_tooltipRect;
    int m_tooltipShows = 0;
    CRect m_tooltipBox;

    MControl* m_hover = nullptr;
    MControl* m_focus = nullptr;
    bool m_tracking = false;
    bool m_buttonPressed = false;
    bool m_captured = false;
    bool m_dblClkLeft = false;
    bool m_dblClkRight = false;
    int m_wndDrag = 1;

    ControlList m_areas;
    ControlList m_controls;
    std::vector<MControl*> m_animated;
    std::vector<ControlTimer> m_timers;
    unsigned m_lastTimerId = 4096;
    unsigned m_animationId = 0;

    std::map<std::wstring, ImgResInfo> m_images;
    std::map<unsigned, ImgResInfo> m_appResources;
    std::map<unsigned, ImgResInfo> m_ownResources;
    std::map<std::wstring, std::wstring> m_fonts;

    cairo_surface_t* m_surface = nullptr;
    int m_paints = 0;
    CRect m_lastPaint;
};

} // namespace TavikUI
