// The base control: a rectangle of a window that paints itself and routes input down its own children.
#pragma once

#include "TavikUI/Backend.h"
#include "TavikUI/MObject.h"

#include <cairo.h>
#include <memory>
#include <string>
#include <vector>

namespace TavikUI {

class PaintManager;

using ControlList = std::vector<std::unique_ptr<MControl>>;

// A pre-rendered picture the size of a control (its "memory DC").
struct ControlCache {
    cairo_surface_t* surface = nullptr;
    int cx = 0;
    int cy = 0;
    ControlCache() = default;
    ControlCache(const ControlCache&) = delete;
    ControlCache& operator=(const ControlCache&) = delete;
    ~ControlCache() { Reset(); }
    void Reset() {
        if (surface)
            cairo_surface_destroy(surface);
        surface = nullptr;
        cx = cy = 0;
    }
};

class MControl : public MObject {
public:
    MControl(MObject* parent, unsigned id, CRect rect, int visible, int enabled, int responsive);
    ~MControl() override;
    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    const wchar_t* GetClassNameW() override { return L"QuenControl"; }

    virtual void InitControl(PaintManager* /*manager*/) {}
    virtual int PtInRect(CPoint pt);
    virtual void DrawControl(cairo_t* cr, CRect paint_rect) = 0;
    virtual int DrawSubControls(cairo_t* cr, CRect paint_rect);
    virtual int IsDraw(CPoint) { return 0; }
    virtual void SetUpdate(int valid, unsigned long colour);
    virtual int SetControlFocus(int focus);
    virtual void InitUI(CRect) {}
    virtual int OnMousePointChange(CPoint&) { return 0; }
    virtual int OnCheckMouseResponse(unsigned, CPoint) { return 0; }
    virtual long OnWindowMessage(unsigned, unsigned, long) { return 0; }
    virtual long OnMessage(unsigned, unsigned, unsigned, long) { return 0; }
    virtual void SetControlRect(CRect rect) { m_rect = rect; }
    virtual void SetControlVisible(int visible) { m_visible = visible ? 1 : 0; }
    virtual void SetControlWndVisible(int) {}
    virtual void SetControlEnabled(int enabled) { m_enabled = enabled ? 1 : 0; }
    virtual int OnControlTimer() { return 0; }
    virtual cairo_surface_t* GetControlDropBitmap() { return nullptr; }
    virtual int OnControlMouseMove(unsigned, CPoint) { return 0; }
    virtual int OnControlSetCursor(unsigned flags, CPoint pt);
    virtual int OnControlLButtonDown(unsigned, CPoint) { return 0; }
    virtual int OnControlLButtonUp(unsigned, CPoint) { return 0; }
    virtual int OnControlLButtonDblClk(unsigned, CPoint) { return 0; }
    virtual int OnControlScroll(int, unsigned, CPoint) { return 0; }
    virtual int OnControlRButtonDown(unsigned, CPoint) { return 0; }
    virtual int OnControlRButtonUp(unsigned, CPoint) { return 0; }
    virtual int OnControlRButtonDblClk(unsigned, CPoint) { return 0; }
    virtual int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers);
    virtual void OnPositionChange() {}
    // Invalidates the control's rect in its window (the whole window when layered).
    virtual void InvalidateRect(const CRect* rect, int erase);

    // Input entry points, called by the paint manager or the parent with window client points.
    int OnMouseMove(unsigned flags, CPoint pt);
    int OnLButtonDown(unsigned flags, CPoint pt);
    int OnLButtonUp(unsigned flags, CPoint pt);
    int OnLButtonDblClk(unsigned flags, CPoint pt);
    int OnRButtonDown(unsigned flags, CPoint pt);
    int OnRButtonUp(unsigned flags, CPoint pt);
    int OnRButtonDblClk(unsigned flags, CPoint pt);
    int OnScroll(int bar, unsigned direction, CPoint pt);
    int OnKeyDown(unsigned key, unsigned repeat, unsigned modifiers);
    int OnKeyUp(unsigned, unsigned, unsigned) { return 0; }
    int OnTimer();
    // Paints areas under the control, the control, then its children; nothing when hidden or outside.
    void Draw(cairo_t* cr, CRect paint_rect);

    MObject* GetParantObject() const { return m_parent; }
    void SetParent(MObject* parent) { m_parent = parent; }
    PaintManager* GetManager() const { return m_manager; }
    void SetManager(PaintManager* manager);
    unsigned GetControlID() const { return m_id; }
    CRect GetRect() const { return m_rect; }
    void SetRect(CRect rect);
    void SetRect(int x, int y, int cx, int cy) { SetRect(CRect(x, y, x + cx, y + cy)); }
    int IsVisible() const { return m_visible; }
    void SetVisible(int visible) { SetVisible(visible, 1); }
    void SetVisible(int visible, int repaint);
    int IsEnabled() const { return m_enabled; }
    void SetEnabled(int enabled);
    int IsDragDrop() const { return m_dragDrop; }
    void SetDragDrop(int on) { m_dragDrop = on; }
    int GetRresponse() const { return m_responsive; }
    void SetRresponse(int on) { m_responsive = on; }
    int IsTabStop() const { return m_tabStop; }
    void SetTabStop(int on) { m_tabStop = on; }
    int GetDblClk() const { return m_dblClk; }
    void SetDblClk(int on) { m_dblClk = on; }
    int IsKeyDown() const { return m_keyDown; }
    int IsFocused() const { return m_focused; }
    int IsPressedInside() const { return m_pressedInside; }
    void SetAccelerator(unsigned key, unsigned modifiers) { m_accelKey = key; m_accelModifiers = modifiers; }
    int GetUpdate() const { return m_cacheValid; }
    int IsRunTimer() const { return m_runTimer; }
    void SetRunTimer(int on);
    int UseImageECM() const { return m_useImageECM; }
    MControl* GetMouseChild() const { return m_mouseChild; }

    void UpdateControl(int dirty, int force);
    void UpdateControl(CRect rect, int force, int dirty);
    void UpdateAControl(int flag, int force);
    void SetTooltip(const wchar_t* text) { m_tooltip = text ? text : L""; }
    void SetTooltip(const std::wstring& text, CRect rect);
    const std::wstring& GetTooltip() const { return m_tooltip; }
    void ClearTooltip();
    // Hover cursor by name ("arrow", "wait", "cross", "sizewe", "sizens", "hand", "help"); returns 0.
    int SetCursorEx(const wchar_t* name);
    void AddMTimer();
    int IsParentVisible();
    MControl* GetControl(unsigned id);
    const ControlList& GetControls() const { return m_children; }
    const ControlList& GetAreas() const { return m_areas; }
    int RemoveControl(MControl* control);
    void RemoveAllControl();
    long SendMessageW(unsigned code, unsigned wparam, long lparam);
    int IsFocusControl();

    // Takes ownership of a child; kind 0 appends to the areas, 1 to the controls.
    MControl* AddChild(std::unique_ptr<MControl> child, int kind);

protected:
    // (Re)creates the cache when the size changed and marks it valid; returns its surface.
    cairo_surface_t* UpdateMemDC(int cx, int cy);
    cairo_surface_t* UpdateAnimateDC(int cx, int cy);
    void DropMouseChild() { m_mouseChild = nullptr; }
    // Point as the children see it: translated unless the child is a panel's own scroll bar (id 1 or 2).
    static CPoint ChildPoint(const MControl* child, CPoint raw, CPoint translated);
    void TakeFocus();

    MObject* m_parent;
    PaintManager* m_manager = nullptr;
    unsigned m_id;
    CRect m_rect;
    int m_visible;
    int m_enabled;
    int m_dragDrop = 0;
    int m_responsive;
    int m_tabStop = 0;
    int m_dblClk = 0;
    int m_pressedInside = 0;
    int m_keyDown = 0;
    int m_focused = 0;
    unsigned m_accelKey = 0;
    unsigned m_accelModifiers = 0;
    int m_cacheValid = 0;
    int m_animCacheValid = 0;
    int m_runTimer = 0;
    int m_useImageECM = 0;
    ControlList m_areas;
    ControlList m_children;
    MControl* m_mouseChild = nullptr;
    ControlCache m_memDC;
    ControlCache m_animDC;
    std::wstring m_tooltip;
    bool m_hasCursor = false;
    CursorKind m_cursor = CursorKind::Arrow;

private:
    int RouteButtonDown(unsigned flags, CPoint pt, bool left);
    int RouteButtonUp(unsigned flags, CPoint pt, bool left);
    int RouteDblClk(unsigned flags, CPoint pt, bool left);
    void ShowHoverTooltip(CPoint pt);
};

} // namespace TavikUI
