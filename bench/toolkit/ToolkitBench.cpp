// Repaint costs: a full 1280 x 720 dialog of 200 image-and-text buttons, and one button changing its hover state.
#include "DemoButton.h"

#include "TavikUI/MDialog.h"
#include "TavikUI/Manager.h"
#include "TavikUI/OffscreenBackend.h"

#include <benchmark/benchmark.h>

using namespace TavikUI;

namespace {

constexpr int kColumns = 10;
constexpr int kRows = 20;

// A dialog with 200 skinned buttons in a grid of 10 x 20, shown and painted once.
struct BenchDialog {
    MDialog dlg;
    BenchDialog() {
        dlg.Create(0, L"bench", WS_POPUP, 0, CRect(0, 0, 1280, 720));
        dlg.LoadBKImage(L"dialog_bk.png");
        dlg.SetBackMode(BackModeNineGrid, 10);
        MObject* self = &dlg;
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                CRect rc(10 + c * 126, 10 + r * 35, 10 + c * 126 + 120, 10 + r * 35 + 30);
                std::wstring title = L"Key " + std::to_wstring(r * kColumns + c + 1);
                auto* b = static_cast<DemoButton*>(dlg.m_pm.AddControl(
                    std::make_unique<DemoButton>(self, 100 + r * kColumns + c, rc, title.c_str(), 1, 1), 1));
                b->SetImage(L"demo_button.png", 4);
            }
        }
        dlg.ShowWindow(SW_SHOW);
        dlg.UpdateWindow();
    }
};

void Start() {
    static bool started = Manager::InitGdiplus(std::make_unique<OffscreenBackend>());
    (void)started;
}

// The window is exposed again: every control copies its cached picture.
void BM_FullRepaintCachedControls(benchmark::State& state) {
    Start();
    BenchDialog b;
    for (auto _ : state) {
        b.dlg.m_pm.Invalidate();
        b.dlg.UpdateWindow();
    }
    state.counters["controls"] = kRows * kColumns;
}
BENCHMARK(BM_FullRepaintCachedControls)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// Every control's cache is invalid (theme or language change): all frames and texts are drawn anew.
void BM_FullRepaintRebuildingCaches(benchmark::State& state) {
    Start();
    BenchDialog b;
    for (auto _ : state) {
        for (auto& c : b.dlg.m_pm.GetControls())
            c->SetUpdate(0, 0);
        b.dlg.m_pm.Invalidate();
        b.dlg.UpdateWindow();
    }
}
BENCHMARK(BM_FullRepaintRebuildingCaches)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The pointer enters or leaves one button: the routed move, the repaint request and the paint of its rect.
void BM_HoveredButtonRepaint(benchmark::State& state) {
    Start();
    BenchDialog b;
    bool inside = false;
    const WindowHandle hwnd = b.dlg.GetSafeHwnd();
    for (auto _ : state) {
        inside = !inside;
        // The first button spans (10, 10)-(130, 40); (5, 5) is free background.
        Manager::SendMessage(hwnd, WM_MOUSEMOVE, 0, inside ? MakeLParam(60, 25) : MakeLParam(5, 5));
        b.dlg.UpdateWindow();
    }
    state.counters["last_paint_px"] = b.dlg.m_pm.GetLastPaintRect().Width() * b.dlg.m_pm.GetLastPaintRect().Height();
}
BENCHMARK(BM_HoveredButtonRepaint)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
