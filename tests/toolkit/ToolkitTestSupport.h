// Shared fixture for the toolkit tests: an offscreen backend, a recording control and a recording dialog.
#pragma once

#include "TavikUI/ControlNotify.h"
#include "TavikUI/MControlFont.h"
#include "TavikUI/MDialog.h"
#include "TavikUI/MRender.h"
#include "TavikUI/Manager.h"
#include "TavikUI/OffscreenBackend.h"

#include <cairo.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace toolkit_test {

using namespace TavikUI;

struct Notification {
    unsigned id, code, wparam;
    long lparam;
    bool operator==(const Notification&) const = default;
};

// A solid control that records what reaches it and reports presses and clicks like a button.
class ProbeControl : public MControlFont {
public:
    ProbeControl(MObject* parent, unsigned id, CRect rect, uint32_t colour = 0xFF00FF00)
        : MControlFont(parent, id, rect, L"", 1, 1, 1), m_colour(colour) {}

    void DrawControl(cairo_t* cr, CRect) override {
        ++draws;
        MRender::DrawColor(cr, m_rect, m_colour);
    }
    int OnCheckMouseResponse(unsigned, CPoint pt) override { return PtInRect(pt); }
    int OnControlMouseMove(unsigned, CPoint pt) override {
        ++moves;
        last_move = pt;
        return PtInRect(pt);
    }
    int OnControlLButtonDown(unsigned, CPoint pt) override {
        ++downs;
        last_down = pt;
        SendMessageW(NOTIFY_PRESS, 0, 0);
        return 1;
    }
    int OnControlLButtonUp(unsigned, CPoint pt) override {
        ++ups;
        last_up = pt;
        if (PtInRect(pt))
            SendMessageW(NOTIFY_CLICK, 0, 0);
        return 1;
    }
    int OnControlLButtonDblClk(unsigned, CPoint) override {
        ++dblclks;
        return 1;
    }
    int OnControlScroll(int, unsigned direction, CPoint) override {
        scrolls.push_back(direction);
        return 1;
    }
    int OnControlKeyDown(unsigned key, unsigned, unsigned modifiers) override {
        keys.emplace_back(key, modifiers);
        return MControlFont::OnControlKeyDown(key, 0, modifiers);
    }
    int OnControlTimer() override {
        ++ticks;
        return 1;
    }
    int SetControlFocus(int focus) override {
        focus_changes.push_back(focus);
        return MControlFont::SetControlFocus(focus);
    }

    int draws = 0, moves = 0, downs = 0, ups = 0, dblclks = 0, ticks = 0;
    CPoint last_move, last_down, last_up;
    std::vector<unsigned> scrolls;
    std::vector<std::pair<unsigned, unsigned>> keys;
    std::vector<int> focus_changes;

private:
    uint32_t m_colour;
};

// A dialog that records every notification and every posted message of its own range.
class ProbeDialog : public MDialog {
public:
    long OnMessage(unsigned id, unsigned code, unsigned wparam, long lparam) override {
        notes.push_back({id, code, wparam, lparam});
        return 0;
    }
    long OnWindowMessage(unsigned msg, unsigned wparam, long lparam) override {
        if (msg >= WM_USER + 1000 && msg < WM_USER + 2000)
            owner_messages.push_back({msg, wparam, lparam});
        return MDialog::OnWindowMessage(msg, wparam, lparam);
    }
    template <class T = ProbeControl>
    T* AddProbe(unsigned id, CRect rect, uint32_t colour = 0xFF00FF00) {
        return static_cast<T*>(m_pm.AddControl(std::make_unique<T>(static_cast<MObject*>(this), id, rect, colour), 1));
    }

    std::vector<Notification> notes;
    struct Posted {
        unsigned msg, wparam;
        long lparam;
    };
    std::vector<Posted> owner_messages;
};

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto backend = std::make_unique<OffscreenBackend>();
        m_backend = backend.get();
        ASSERT_TRUE(Manager::InitGdiplus(std::move(backend)));
        m_dir = std::filesystem::temp_directory_path() /
                ("tavik-test-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir / "skins" / "theme1");
        Manager::SetModuleFolder(m_dir.wstring() + L"/");
    }
    void TearDown() override {
        m_dialog.reset();
        Manager::UnInitGdiplus();
        Manager::SetModuleFolder(L"");
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // A shown 400 x 300 dialog at (100, 100).
    ProbeDialog& Dialog() {
        if (!m_dialog) {
            m_dialog = std::make_unique<ProbeDialog>();
            m_dialog->Create(0, L"probe", WS_POPUP, 0, CRect(100, 100, 500, 400));
            m_dialog->ShowWindow(SW_SHOW);
            Manager::PumpPending();
        }
        return *m_dialog;
    }

    void Post(MWindow& w, unsigned msg, unsigned wparam, int x, int y) {
        Manager::PostMessage(w.GetSafeHwnd(), msg, wparam, MakeLParam(x, y));
    }
    void Move(MWindow& w, int x, int y, unsigned flags = 0) {
        Post(w, WM_MOUSEMOVE, flags, x, y);
        Manager::PumpPending();
    }
    void Click(MWindow& w, int x, int y) {
        Post(w, WM_MOUSEMOVE, 0, x, y);
        Post(w, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        Post(w, WM_LBUTTONUP, 0, x, y);
        Manager::PumpPending();
    }
    void Key(MWindow& w, unsigned vk, bool down = true) {
        Manager::PostMessage(w.GetSafeHwnd(), down ? WM_KEYDOWN : WM_KEYUP, vk, 1);
        Manager::PumpPending();
    }

    // Writes a PNG of `frames` frames, each w x h, frame i filled with colours[i % size].
    void WriteSkin(const std::string& name, int frames, int w, int h, std::vector<uint32_t> colours) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w * frames, h);
        cairo_t* cr = cairo_create(s);
        for (int i = 0; i < frames; ++i)
            MRender::DrawColor(cr, CRect(i * w, 0, (i + 1) * w, h), colours[i % colours.size()]);
        cairo_destroy(cr);
        cairo_surface_write_to_png(s, (m_dir / "skins" / "theme1" / name).c_str());
        cairo_surface_destroy(s);
    }

    // The painted pixel at a client point, un-premultiplied, as 0xAARRGGBB.
    static uint32_t Pixel(PaintManager& pm, int x, int y) {
        cairo_surface_t* s = pm.GetSurface();
        if (!s)
            return 0;
        cairo_surface_flush(s);
        const auto* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
        uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
        uint32_t a = p >> 24;
        if (a == 0)
            return 0;
        auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
        return (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
    }

    OffscreenBackend* m_backend = nullptr;
    std::filesystem::path m_dir;
    std::unique_ptr<ProbeDialog> m_dialog;
};

} // namespace toolkit_test
