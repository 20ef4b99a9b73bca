// The skinned dialog the application derives its windows from; owns one paint manager.
#pragma once

#include "TavikUI/MObject.h"
#include "TavikUI/MWindow.h"
#include "TavikUI/PaintManager.h"

namespace TavikUI {

enum enumBackMode { BackModeOrigin = 0, BackModeNineGrid = 1 };

class MDialog : public MWindow, public MObject {
public:
    MDialog();
    ~MDialog() override;

    const wchar_t* GetClassNameW() override { return L"MDialog"; }
    long OnBaseMessage(unsigned id, unsigned code, unsigned wparam, long lparam) override;
    long OnControlUpdate(CRect rect, int dirty, MControl* control) override;

    long OnWindowMessage(unsigned msg, unsigned wparam, long lparam) override;
    int PreTranslateMessage(MSG* msg) override;
    int OnInitDialog() override;
    void OnDestroyMessage(WindowHandle hwnd) override;

    // Screen point under the control's bottom edge: left (0), centre (1) or right (2).
    virtual CPoint GetAirBladderPoint(MControl* control, unsigned type);
    virtual void OnMinimize();
    virtual void OnMaximize();
    virtual void InitUI(CRect) {}
    virtual void UISize(CRect) {}
    virtual long OnMessage(unsigned, unsigned, unsigned, long) { return 0; }
    virtual long OnUserCloseWindow(unsigned result, long lparam);
    virtual int OnCreate();
    virtual int OnSize(unsigned type, int cx, int cy);
    virtual int OnMouseMove(unsigned, CPoint) { return 0; }
    virtual int OnMouseLeave(unsigned, long) { return 0; }
    virtual int OnMouseHover(unsigned, long) { return 0; }
    virtual int OnMouseWheel(unsigned, short, CPoint) { return 0; }
    virtual int OnLButtonDown(unsigned, CPoint) { return 0; }
    virtual int OnLButtonUp(unsigned, CPoint) { return 0; }
    virtual int OnLButtonDblClk(unsigned, CPoint) { return 0; }
    virtual int OnRButtonDown(unsigned, CPoint) { return 0; }
    virtual int OnRButtonUp(unsigned, CPoint) { return 0; }
    virtual int OnRButtonDblClk(unsigned, CPoint) { return 0; }
    virtual int OnKeyDown(unsigned, unsigned, unsigned) { return 0; }
    virtual int OnNcHitTest(CPoint) { return 0; }
    virtual int OnNcActivate(int) { return 0; }
    virtual int OnWindowPosChanging() { return 1; }
    virtual int OnWindowPosChanged() { return 1; }
    virtual int OnPaint() { return 0; }
    virtual void OnTimer(unsigned) {}
    virtual int OnClose() { return 1; }
    virtual int OnDestroy() { return 0; }
    virtual int PostNcDestroy() { return 0; }

    MControl* CreateControl(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title, int visible,
                            int enabled);
    MControl* CreateArea(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title, int visible,
                         int enabled);
    MControl* GetControl(unsigned id) { return m_pm.GetControl(id); }
    const ControlList* GetControls() const { return &m_pm.GetControls(); }
    void SetFocusControl(MControl* control) { m_pm.SetFocusControl(control); }
    void DoOK() { PostMessageW(UM_CLOSE_WINDOW, IDOK, 0); }
    void DoCancel() { PostMessageW(UM_CLOSE_WINDOW, IDCANCEL, 0); }
    void DoClose() { PostMessageW(UM_CLOSE_WINDOW, IDCANCEL, 0); }
    void DoYes() { PostMessageW(UM_CLOSE_WINDOW, IDYES, 0); }
    void DoNo() { PostMessageW(UM_CLOSE_WINDOW, IDNO, 0); }
    unsigned SetMTimer(unsigned period_ms) { return m_pm.SetAnimationTimer(period_ms); }
    void KillMTimer(unsigned id) { m_pm.KillMTimer(id); }
    int LoadBKImage(const std::wstring& name) { return m_pm.LoadBKImage(name); }
    void SetBackMode(enumBackMode mode, int corner) { m_pm.SetBackMode(mode, corner); }
    void SetLayeredWindow(int on) { m_pm.SetLayeredWindow(on); }
    void EnableWndDrag(int on) { m_pm.EnableWndDrag(on); }
    void SetTooltip(const std::wstring& text, CRect rect) { m_pm.SetTooltip(text, rect); }
    void ClearTooltip() { m_pm.ClearTooltip(); }
    void SetScrollResID(unsigned vertical, unsigned horizontal) { m_pm.SetScrollResID(vertical, horizontal); }
    void SetMessage(const std::wstring& text, CRect rect, MsgLevel level) { m_pm.SetMessage(text, rect, level); }
    void SetProgress(int value, const std::wstring& text, CRect rect) { m_pm.SetProgress(value, text, rect); }
    void SetupBackTranslucent();
    void SetColorKey(uint32_t key) { m_colorKey = key; }
    void SetAlpha(int alpha) { m_alpha = alpha; }
    CRect GetLastClientRect() const { return m_client; }

    PaintManager m_pm;

protected:
    CRect m_client;
    uint32_t m_colorKey = 0xFFFFFF;
    int m_alpha = 255;
    int m_messageOffset = 0;
};

} // namespace TavikUI
