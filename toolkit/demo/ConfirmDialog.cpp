// Demo child dialog: OK and Cancel end its modal loop with 1 and 2.
#include "ConfirmDialog.h"

#include "DemoButton.h"
#include "DemoLabel.h"

#include "TavikUI/ControlNotify.h"

using namespace TavikUI;

void ConfirmDialog::InitUI(CRect client) {
    m_pm.SetBackColor(0x1C140F, 0x555028);
    MObject* self = this;
    auto* label = static_cast<DemoLabel*>(m_pm.AddControl(
        std::make_unique<DemoLabel>(self, 1, CRect(20, 20, client.right - 20, 80), L"Write the profile to the keyboard?", 1),
        1));
    label->SetAlignment(1, 4);
    auto* ok = m_pm.AddControl(std::make_unique<DemoButton>(self, IDOK, CRect(40, 110, 160, 146), L"OK", 1, 1), 1);
    auto* cancel = m_pm.AddControl(
        std::make_unique<DemoButton>(self, IDCANCEL, CRect(200, 110, 320, 146), L"Cancel", 1, 1), 1);
    static_cast<DemoButton*>(ok)->SetImage(L"demo_button.png", 4);
    static_cast<DemoButton*>(cancel)->SetImage(L"demo_button.png", 4);
    ok->SetTabStop(1);
    cancel->SetTabStop(1);
}

long ConfirmDialog::OnMessage(unsigned id, unsigned code, unsigned, long) {
    if (code != NOTIFY_CLICK)
        return 0;
    if (id == IDOK)
        DoOK();
    else if (id == IDCANCEL)
        DoCancel();
    return 0;
}

long ConfirmDialog::OnWindowMessage(unsigned msg, unsigned wparam, long lparam) {
    if (msg == WM_KEYDOWN && wparam == VK_ESCAPE) {
        DoCancel();
        return 1;
    }
    if (msg == WM_KEYDOWN && wparam == VK_RETURN) {
        DoOK();
        return 1;
    }
    return MDialog::OnWindowMessage(msg, wparam, lparam);
}
