// Base of drop-down popups: a borderless tool window with its own controls that closes when deactivated.
#pragma once

#include "TavikUI/MDialog.h"

namespace TavikUI {

class MPopupWnd : public MWindow, public MObject {
public:
    explicit MPopupWnd(MObject* owner);
    ~MPopupWnd() override;

    long OnBaseMessage(unsigned id, unsigned code, unsigned wparam, long lparam) override;
    long OnControlUpdate(CRect rect, int dirty, MControl* control) override;
    long OnWindowMessage(unsigned msg, unsigned wparam, long lparam) override;
    int PreTranslateMessage(MSG* msg) override { return m_pm.PreTranslateMessage(msg); }
    int OnInitDialog() override;
    void OnDestroyMessage(WindowHandle hwnd) override;

    virtual void InitUI(CRect) {}
    // Notifications of the popup's controls go to the owner unchanged by default.
    virtual long OnMessage(unsigned id, unsigned code, unsigned wparam, long lparam);
    virtual void CloseWindow() { PostMessageW(WM_CLOSE, 0, 0); }

    int Create(WindowHandle owner, CRect screen_rect);
    MControl* CreateControl(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title, int visible,
                            int enabled) {
        return m_pm.CreateControl(class_name, id, rect, title, visible, enabled);
    }

    PaintManager m_pm;

protected:
    MObject* m_ownerObject;
};

} // namespace TavikUI
