// One row of a popup menu: optional icon column, text, hover fill; plain, checkable or separator.
#pragma once

#include "TavikUI/MControlFont.h"

namespace TavikUI {

class MenuItem : public MControlFont {
public:
    MenuItem(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    const wchar_t* GetClassNameW() override { return L"MenuItem"; }
    void DrawControl(cairo_t* cr, CRect paint_rect) override;
    int OnControlMouseMove(unsigned flags, CPoint pt) override;
    int OnControlLButtonDown(unsigned flags, CPoint pt) override;
    int OnControlLButtonUp(unsigned flags, CPoint pt) override;
    int OnCheckMouseResponse(unsigned, CPoint pt) override { return PtInRect(pt); }
    void SetControlEnabled(int enabled) override;

    void SetSeparator(int on) { m_separator = on; }
    int IsSeparator() const { return m_separator; }
    void SetCheckable(int on) { m_checkable = on; }
    void SetCheck(int check);
    int GetCheck() const { return m_check; }
    void SetGroupName(const std::wstring& name) { m_group = name; }
    void SetSelectColor(uint32_t argb) { m_selectColor = argb; }
    void SetTextIndent(int indent) { m_indent = indent; }
    void SetItemFrameWidth(int width) { m_frameInset = width; }
    int GetState() const { return m_state; }

private:
    void SetState(int state);
    int FrameCount() const { return m_separator ? 1 : m_checkable ? 6 : 4; }
    void RenderFrames(cairo_t* window_cr);

    int m_state = 0;
    int m_separator = 0;
    int m_checkable = 0;
    int m_check = 0;
    int m_pressed = 0;
    std::wstring m_group = L"Menu Group";
    uint32_t m_selectColor = 0xFFC95100;
    int m_indent = 30;
    int m_frameInset = 0;
};

} // namespace TavikUI
