// Painting into the ARGB surface: background, controls, areas, repaint rectangles, text and nine-grids.
#include "ToolkitTestSupport.h"

#include "TavikUI/CArea.h"
#include "TavikUI/MPanel.h"

namespace toolkit_test {
namespace {

using Painting = ToolkitTest;

bool Near(uint32_t a, uint32_t b, int tolerance = 2) {
    for (int shift = 0; shift < 32; shift += 8) {
        int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(x - y) > tolerance)
            return false;
    }
    return true;
}

// Catches a background painted opaque, in the wrong byte order, or without its frame.
TEST_F(Painting, PlainBackgroundUsesFrameAndBackColourAtAlpha254) {
    ProbeDialog& dlg = Dialog();
    dlg.m_pm.SetBackColor(0x333333, 0x333333);
    dlg.m_pm.Invalidate();
    dlg.UpdateWindow();
    EXPECT_TRUE(Near(Pixel(dlg.m_pm, 0, 0), 0xFE333333, 1));
    EXPECT_TRUE(Near(Pixel(dlg.m_pm, 200, 150), 0xFE333333, 1));
    dlg.m_pm.SetBackColor(0x0000FF, 0x00FF00); // COLORREF: red background, green frame
    dlg.m_pm.Invalidate();
    dlg.UpdateWindow();
    EXPECT_TRUE(Near(Pixel(dlg.m_pm, 0, 10), 0xFE00FF00, 1));
    EXPECT_TRUE(Near(Pixel(dlg.m_pm, 1, 10), 0xFEFF0000, 1));
}

// Catches controls painted in the wrong order or a paint that spills outside the update rectangle.
TEST_F(Painting, ControlsPaintInOrderAndOnlyTheUpdateRectIsRedrawn) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* under = dlg.AddProbe(1, CRect(10, 10, 60, 60), 0xFFFF0000);
    ProbeControl* over = dlg.AddProbe(2, CRect(40, 40, 90, 90), 0xFF0000FF);
    ProbeControl* apart = dlg.AddProbe(3, CRect(200, 200, 250, 250), 0xFFFFFFFF);
    dlg.m_pm.Invalidate();
    dlg.UpdateWindow();
    EXPECT_EQ(Pixel(dlg.m_pm, 20, 20), 0xFFFF0000u);
    EXPECT_EQ(Pixel(dlg.m_pm, 50, 50), 0xFF0000FFu);
    int apart_draws = apart->draws;
    under->UpdateControl(1, 0);
    dlg.UpdateWindow();
    EXPECT_EQ(dlg.m_pm.GetLastPaintRect(), CRect(10, 10, 90, 90));
    EXPECT_EQ(apart->draws, apart_draws);
    EXPECT_EQ(over->draws, 2);
    EXPECT_EQ(m_backend->Find(dlg.GetSafeHwnd())->last_present, CRect(10, 10, 90, 90));
}

// Catches a layered dialog that repaints only the requested rectangle.
TEST_F(Painting, LayeredDialogRepaintsItsWholeClient) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* c = dlg.AddProbe(1, CRect(10, 10, 20, 20));
    dlg.SetLayeredWindow(1);
    dlg.UpdateWindow();
    c->UpdateControl(1, 0);
    dlg.UpdateWindow();
    EXPECT_EQ(dlg.m_pm.GetLastPaintRect(), CRect(0, 0, 400, 300));
}

// Catches hidden controls still painted, and a repaint that leaves the hidden control's picture behind.
TEST_F(Painting, HiddenControlLeavesTheBackground) {
    ProbeDialog& dlg = Dialog();
    dlg.m_pm.SetBackColor(0x000000, 0x000000);
    ProbeControl* c = dlg.AddProbe(1, CRect(10, 10, 60, 60), 0xFFFF0000);
    dlg.m_pm.Invalidate();
    dlg.UpdateWindow();
    ASSERT_EQ(Pixel(dlg.m_pm, 20, 20), 0xFFFF0000u);
    c->SetVisible(0);
    dlg.UpdateWindow();
    EXPECT_TRUE(Near(Pixel(dlg.m_pm, 20, 20), 0xFE000000, 1));
}

// Catches the area's alpha ramp formula: defaults blend the fill at alpha 51; ramps run from start to end.
TEST_F(Painting, AreaBlendsItsFillOverTheBackground) {
    ProbeDialog& dlg = Dialog();
    dlg.m_pm.SetBackColor(0x000000, 0x000000);
    auto* plain = static_cast<CArea*>(dlg.CreateArea(L"CArea", 1, CRect(10, 10, 110, 110), L"", 1, 1));
    auto* solid = static_cast<CArea*>(dlg.CreateArea(L"CArea", 2, CRect(200, 10, 300, 110), L"", 1, 1));
    solid->SetTransparent(0, 0, 0x0000FF);
    dlg.m_pm.Invalidate();
    dlg.UpdateWindow();
    (void)plain;
    // White at 51/255 over opaque-ish black.
    EXPECT_TRUE(Near(Pixel(dlg.m_pm, 50, 50), 0xFF333333, 2)) << std::hex << Pixel(dlg.m_pm, 50, 50);
    EXPECT_EQ(Pixel(dlg.m_pm, 250, 50), 0xFFFF0000u);
    EXPECT_EQ(MRender::TransitionAlpha(0, 100, 0, 100), 255);
    EXPECT_EQ(MRender::TransitionAlpha(0, 100, 50, 100), 128);
    EXPECT_EQ(MRender::TransitionAlpha(100, 0, 0, 100), 0);
    EXPECT_EQ(MRender::TransitionAlpha(100, 0, 99, 100), 252);
    EXPECT_EQ(MRender::TransitionAlpha(80, 80, 7, 10), 51);
}

// Catches nine-grid corners that get stretched, or a centre that is not.
TEST_F(Painting, NineGridKeepsCornersAndStretchesTheRest) {
    cairo_surface_t* img = MRender::CreateARGB32Bitmap(12, 12);
    cairo_t* c = cairo_create(img);
    MRender::DrawColor(c, CRect(0, 0, 12, 12), 0xFF0000FF);
    MRender::DrawColor(c, CRect(0, 0, 4, 4), 0xFFFF0000);
    cairo_destroy(c);
    cairo_surface_t* dst = MRender::CreateARGB32Bitmap(100, 60);
    cairo_t* cr = cairo_create(dst);
    MRender::DrawImageFrame(cr, img, CRect(0, 0, 100, 60), 0, 0, 12, 12, 4);
    cairo_destroy(cr);
    cairo_surface_flush(dst);
    auto at = [&](int x, int y) {
        return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(dst) + y * cairo_image_surface_get_stride(dst))[x];
    };
    EXPECT_EQ(at(3, 3), 0xFFFF0000u);
    EXPECT_EQ(at(4, 4), 0xFF0000FFu);
    EXPECT_EQ(at(50, 30), 0xFF0000FFu);
    EXPECT_EQ(at(99, 59), 0xFF0000FFu);
    cairo_surface_destroy(dst);
    cairo_surface_destroy(img);
}

// Catches text that does not render (no font, or CJK falling back to nothing) or ignores its alignment.
TEST_F(Painting, TextRendersIncludingChineseAndHonoursAlignment) {
    for (const wchar_t* text : {L"Profile 1", L"\u7167\u660e\u6548\u679c"}) {
        cairo_surface_t* s = MRender::CreateARGB32Bitmap(200, 40);
        cairo_t* cr = cairo_create(s);
        TextFont font{L"Arial", 14, FontStyleRegular};
        MRender::DrawString(cr, text, CRect(0, 0, 200, 40), font, 0xFFFFFFFF, 2, 4, false);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        int inked = 0, leftmost = 200;
        for (int y = 0; y < 40; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
            for (int x = 0; x < 200; ++x)
                if (row[x] >> 24) {
                    ++inked;
                    leftmost = std::min(leftmost, x);
                }
        }
        EXPECT_GT(inked, 30) << MRender::ToUtf8(text);
        EXPECT_GT(leftmost, 100) << "right-aligned text starts in the right half";
        CSize size = MRender::GetTextBounds(text, font);
        EXPECT_GT(size.cx, 20);
        EXPECT_GE(size.cy, 14);
        cairo_surface_destroy(s);
    }
}

// Catches a background image that is not drawn, or a missing one that breaks the plain background.
TEST_F(Painting, BackgroundImageModes) {
    WriteSkin("bk.png", 1, 20, 20, {0xFF00FF00});
    ProbeDialog& dlg = Dialog();
    EXPECT_EQ(dlg.LoadBKImage(L"nope.png"), 0);
    ASSERT_EQ(dlg.LoadBKImage(L"bk.png"), 1);
    dlg.UpdateWindow();
    EXPECT_EQ(Pixel(dlg.m_pm, 10, 10), 0xFF00FF00u);
    EXPECT_EQ(Pixel(dlg.m_pm, 100, 100), 0u);
    dlg.SetBackMode(BackModeNineGrid, 4);
    dlg.m_pm.Invalidate();
    dlg.UpdateWindow();
    EXPECT_EQ(Pixel(dlg.m_pm, 300, 200), 0xFF00FF00u);
}

// Catches an overlay that never fades or a progress bar that jumps past its target.
TEST_F(Painting, MessageOverlayFadesAndProgressClimbs) {
    ProbeDialog& dlg = Dialog();
    dlg.SetMessage(L"Saved", CRect(), MsgInfo);
    EXPECT_EQ(dlg.m_pm.GetOverlayRect(), CRect(100, 240, 300, 298));
    EXPECT_EQ(Manager::GetTimerPeriod(dlg.GetSafeHwnd(), PaintManager::kTimerMessageShow), 3000u);
    dlg.UpdateWindow();
    EXPECT_TRUE(Near(Pixel(dlg.m_pm, 101, 241), 0xFFE6E6E6, 1));
    for (int i = 0; i < 30; ++i)
        dlg.SendMessageW(WM_TIMER, PaintManager::kTimerMessageFade, 0);
    EXPECT_EQ(dlg.m_pm.GetOverlayAlpha(), 0);
    dlg.SetProgress(50, L"Writing", CRect());
    EXPECT_EQ(dlg.m_pm.GetShownProgress(), 0);
    for (int i = 0; i < 40; ++i)
        dlg.SendMessageW(WM_TIMER, PaintManager::kTimerProgress, 0);
    EXPECT_EQ(dlg.m_pm.GetShownProgress(), 50);
    dlg.SetProgress(53, L"Writing", CRect());
    EXPECT_EQ(dlg.m_pm.GetShownProgress(), 53);
}

} // namespace
} // namespace toolkit_test
