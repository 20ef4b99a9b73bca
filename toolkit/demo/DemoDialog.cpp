// Demo window: builds its controls, reacts to their notifications, writes a screenshot on request.
#include "DemoDialog.h"

#include "ConfirmDialog.h"
#include "DemoButton.h"
#include "DemoLabel.h"
#include "DemoPanel.h"

#include "TavikUI/CArea.h"
#include "TavikUI/ControlNotify.h"
#include "TavikUI/MRender.h"
#include "TavikUI/MenuWnd.h"

#include <cstdio>
#include <set>

using namespace TavikUI;

namespace {
constexpr unsigned kScreenshotTimer = 1000;
constexpr unsigned kTimeoutTimer = 1001;
} // namespace

void DemoDialog::InitUI(CRect client) {
    LoadBKImage(L"dialog_bk.png");
    SetBackMode(BackModeNineGrid, 10);
    MObject* self = this;
    auto* header = static_cast<CArea*>(CreateArea(L"CArea", 1, CRect(1, 1, client.right - 1, 60), L"", 1, 1));
    header->SetTransparent(30, 95, 0x555028);
    auto* side = static_cast<CArea*>(CreateArea(L"CArea", 2, CRect(1, 60, 181, client.bottom - 1), L"", 1, 1));
    side->SetTransparent(85, 85, 0xFFFFFF);
    CreateArea(L"CArea", 3, CRect(180, 60, 181, client.bottom - 1), L"", 1, 1);
    static_cast<CArea*>(m_pm.GetControl(3))->SetTransparent(0, 0, 0x555028);

    auto* title = static_cast<DemoLabel*>(
        m_pm.AddControl(std::make_unique<DemoLabel>(self, 40, CRect(20, 10, 600, 50), L"TavikUI demo \u00b7 \u952e\u76d8\u7167\u660e", 1), 1));
    title->SetFont(nullptr, 20, FontStyleBold);
    struct ButtonInfo {
        unsigned id;
        const wchar_t* title;
        const wchar_t* tip;
    };
    const ButtonInfo buttons[] = {{kApply, L"Apply", L"Writes the settings"},
                            {kMenu, L"Menu", L"Opens a popup menu"},
                            {kDialog, L"Dialog\u2026", L"Opens a modal child dialog"},
                            {kExit, L"Exit", L"Closes the demo"}};
    int y = 80;
    for (const ButtonInfo& b : buttons) {
        auto* button = static_cast<DemoButton*>(
            m_pm.AddControl(std::make_unique<DemoButton>(self, b.id, CRect(30, y, 150, y + 36), b.title, 1, 1), 1));
        button->SetImage(L"demo_button.png", 4);
        button->SetTooltip(b.tip);
        button->SetTabStop(1);
        button->SetCursorEx(L"hand");
        y += 52;
    }
    auto* panel = static_cast<DemoPanel*>(
        m_pm.AddControl(std::make_unique<DemoPanel>(self, kPanel, CRect(220, 80, 620, 480), 1), 1));
    for (unsigned i = 0; i < 16; ++i) {
        int top = 90 + static_cast<int>(i) * 48;
        std::wstring text = L"Profile " + std::to_wstring(i + 1);
        auto* row = panel->AddChild(std::make_unique<DemoButton>(panel, 100 + i, CRect(240, top, 590, top + 36),
                                                                 text.c_str(), 1, 1),
                                    1);
        static_cast<DemoButton*>(row)->SetImage(L"demo_button.png", 4);
    }
    panel->SetVirtualHeight(16 * 48 + 20);
    m_status = static_cast<DemoLabel*>(m_pm.AddControl(
        std::make_unique<DemoLabel>(self, kStatus, CRect(220, 500, client.right - 20, 530), L"Ready", 1), 1));
    m_status->SetTextColor(0xFFB0C4C8);
    if (!m_options.screenshot.empty() && !m_options.screenshot_on_click)
        SetTimer(kScreenshotTimer, 300);
    if (m_options.timeout_s > 0)
        SetTimer(kTimeoutTimer, static_cast<unsigned>(m_options.timeout_s) * 1000);
}

void DemoDialog::SetStatus(const std::wstring& text) {
    if (m_status)
        m_status->SetTitle(text.c_str());
    // Scripts driving the demo follow it on the standard output.
    std::printf("status: %s\n", MRender::ToUtf8(text).c_str());
    std::fflush(stdout);
}

void DemoDialog::WriteScreenshot() {
    UpdateWindow();
    cairo_surface_t* s = m_pm.GetSurface();
    if (!s || !MRender::SaveBitmapToFile(s, m_options.screenshot)) {
        std::fprintf(stderr, "tavik-demo: cannot write the screenshot\n");
        m_exitCode = 2;
        return;
    }
    // How many colours the picture holds tells a blank window from a drawn one.
    std::set<uint32_t> colours;
    cairo_surface_flush(s);
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    for (int y = 0; y < h; y += 3) {
        auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < w; x += 3)
            colours.insert(row[x]);
    }
    std::printf("screenshot colours %zu\n", colours.size());
    std::fflush(stdout);
}

void DemoDialog::ShowMenu() {
    auto* menu = new MenuWnd(this);
    CRect button = GetControl(kMenu)->GetRect();
    CPoint origin = ClientToScreen(CPoint(button.right + 4, button.top));
    menu->Create(GetSafeHwnd(), origin, kMenuNotify, L"menu_bk.png", 30, 200, BackModeNineGrid);
    menu->AddMenu(L"Import profile", 1, L"menu_icon.png");
    menu->AddMenu(L"Export profile", 2, L"menu_icon.png");
    menu->AddSeparator(3, L"menu_separator.png");
    menu->AddMenu(L"\u6062\u590d\u9ed8\u8ba4\u8bbe\u7f6e", 4, L"");
    menu->ShowModal(SW_SHOW);
}

long DemoDialog::OnMessage(unsigned id, unsigned code, unsigned wparam, long) {
    if (code == NOTIFY_SCROLL) {
        SetStatus(L"Scrolled to " + std::to_wstring(wparam));
        return 0;
    }
    if (code != NOTIFY_CLICK)
        return 0;
    switch (id) {
    case kApply:
        std::printf("clicked %u\n", id);
        std::fflush(stdout);
        SetStatus(L"Applied");
        if (m_options.screenshot_on_click && !m_options.screenshot.empty()) {
            WriteScreenshot();
            DoOK();
        }
        break;
    case kMenu: ShowMenu(); break;
    case kDialog: {
        ConfirmDialog child;
        child.Create(GetSafeHwnd(), L"Confirm", WS_POPUP, 0, CRect(0, 0, 360, 180));
        child.CenterWindow(this);
        unsigned result = child.ShowModal(SW_SHOW);
        SetStatus(L"The dialog returned " + std::to_wstring(result));
        break;
    }
    case kExit: DoOK(); break;
    default:
        if (id >= 100 && id < 116)
            SetStatus(L"Chose profile " + std::to_wstring(id - 99));
        break;
    }
    return 0;
}

long DemoDialog::OnWindowMessage(unsigned msg, unsigned wparam, long lparam) {
    if (msg == kMenuNotify) {
        SetStatus(L"Menu item " + std::to_wstring(lparam));
        return 1;
    }
    if (msg == WM_KEYDOWN && wparam == VK_ESCAPE) {
        DoCancel();
        return 1;
    }
    return MDialog::OnWindowMessage(msg, wparam, lparam);
}

void DemoDialog::OnTimer(unsigned id) {
    if (id == kScreenshotTimer) {
        KillTimer(kScreenshotTimer);
        WriteScreenshot();
        DoOK();
    } else if (id == kTimeoutTimer) {
        std::fprintf(stderr, "tavik-demo: timed out\n");
        m_exitCode = 3;
        DoCancel();
    }
}
