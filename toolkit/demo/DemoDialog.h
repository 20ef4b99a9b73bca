// The demo window: areas, buttons with tooltips, a scrolled panel, a popup menu and a modal child dialog.
#pragma once

#include "TavikUI/MDialog.h"

#include <string>

class DemoLabel;

struct DemoOptions {
    std::wstring screenshot;     // written after the first paint, then the demo ends
    bool screenshot_on_click = false; // wait for a click on "Apply" before writing it
    int timeout_s = 0;           // ends the demo with exit code 3 after this long (0: never)
};

class DemoDialog : public TavikUI::MDialog {
public:
    explicit DemoDialog(DemoOptions options) : m_options(std::move(options)) {}

    void InitUI(TavikUI::CRect client) override;
    long OnMessage(unsigned id, unsigned code, unsigned wparam, long lparam) override;
    long OnWindowMessage(unsigned msg, unsigned wparam, long lparam) override;
    void OnTimer(unsigned id) override;
    int GetExitCode() const { return m_exitCode; }

    enum : unsigned { kApply = 10, kMenu = 11, kDialog = 12, kExit = 13, kPanel = 20, kStatus = 30 };
    static constexpr unsigned kMenuNotify = TavikUI::WM_USER + 1425;

private:
    void ShowMenu();
    void SetStatus(const std::wstring& text);
    void WriteScreenshot();

    DemoOptions m_options;
    DemoLabel* m_status = nullptr;
    int m_exitCode = 0;
};
