// A container whose children may overflow it, with its own vertical (id 1) and horizontal (id 2) scroll bars.
#pragma once

#include "TavikUI/MControlFont.h"

namespace TavikUI {

class MScroll;

class MPanel : public MControlFont {
public:
    MPanel(MObject* parent, unsigned id, CRect rect, int visible);

    static constexpr int kScrollThickness = 7;

    // Creates a control by class name inside this panel (panel-level table); null for unknown names.
    virtual MControl* CreateArea(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title,
                                 int visible, int enabled);
    virtual MControl* CreateControl(unsigned kind, MObject* parent, const wchar_t* class_name, unsigned id,
                                    CRect rect, const wchar_t* title, int visible, int enabled);
    virtual MControl* CreateControl(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title,
                                    int visible, int enabled);
    virtual int OnControlKeyUp(unsigned, unsigned, unsigned) { return 0; }

    long OnBaseMessage(unsigned id, unsigned code, unsigned wparam, long lparam) override;
    long OnControlUpdate(CRect rect, int dirty, MControl* control) override;
    void InitControl(PaintManager* manager) override;
    void DrawControl(cairo_t*, CRect) override {}
    int DrawSubControls(cairo_t* cr, CRect paint_rect) override;
    void SetUpdate(int valid, unsigned long colour) override;
    int SetControlFocus(int focus) override;
    int OnMousePointChange(CPoint& pt) override;
    int OnCheckMouseResponse(unsigned flags, CPoint pt) override;
    long OnWindowMessage(unsigned msg, unsigned wparam, long lparam) override;
    long OnMessage(unsigned id, unsigned code, unsigned wparam, long lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    void SetControlWndVisible(int visible) override;
    void SetControlEnabled(int enabled) override;
    int OnControlTimer() override;
    int OnControlMouseMove(unsigned, CPoint) override { return 1; }
    int OnControlLButtonDown(unsigned, CPoint) override { return 1; }
    int OnControlLButtonUp(unsigned, CPoint) override { return 1; }
    int OnControlLButtonDblClk(unsigned, CPoint) override { return 1; }
    int OnControlScroll(int bar, unsigned direction, CPoint pt) override;
    int OnControlRButtonDown(unsigned, CPoint) override { return 1; }
    int OnControlRButtonUp(unsigned, CPoint) override { return 1; }
    int OnControlRButtonDblClk(unsigned, CPoint) override { return 1; }
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;

    void SetVirtualHeight(int height);
    void SetVirtualWidth(int width);
    int GetVirtualHeight() const { return m_virtualHeight; }
    int GetVirtualWidth() const { return m_virtualWidth; }
    void SetEnableScroll(int on) { m_enableScroll = on; }
    int GetEnableScroll() const { return m_enableScroll; }
    MScroll* GetScrollVertical() const { return m_vscroll; }
    MScroll* GetScrollHorizontal() const { return m_hscroll; }
    // Content offset of the scrolled children, from the scroll bar positions.
    CPoint GetScrollOffset() const;
    bool IsOverflowing() const;

protected:
    // Draws the children shifted by the scroll offset and clipped to the panel (for overflowing panels).
    void DrawScrolledChildren(cairo_t* cr, CRect paint_rect);
    void LayoutScrollBars();

    MScroll* m_vscroll = nullptr; // owned by the children list
    MScroll* m_hscroll = nullptr;
    int m_virtualHeight = 0;
    int m_virtualWidth = 0;
    int m_enableScroll = 1;
    int m_attached = 0;
};

} // namespace TavikUI
