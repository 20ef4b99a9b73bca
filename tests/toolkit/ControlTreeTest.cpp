// The control tree: creation by class name, ownership, notifications, repaint requests and skin images.
#include "ToolkitTestSupport.h"

#include "TavikUI/CArea.h"
#include "TavikUI/ControlFactory.h"
#include "TavikUI/MPanel.h"
#include "TavikUI/QuenPosition.h"

namespace toolkit_test {
namespace {

// A stand-in for a panel-only list: registered under its table name so the factory can build it.
std::unique_ptr<MControl> MakeListProbe(MObject* parent, unsigned id, CRect rect, const wchar_t*, int, int) {
    return std::make_unique<ProbeControl>(parent, id, rect);
}

using ControlTree = ToolkitTest;

// Catches a factory that matches names loosely or ignores which level may create a class.
TEST_F(ControlTree, ClassNameCreationFollowsTheLevelTables) {
    ASSERT_TRUE(ControlFactory::Register(L"DListBox", MakeListProbe));
    ASSERT_TRUE(ControlFactory::Register(L"BatteryCtrl", MakeListProbe));
    ProbeDialog& dlg = Dialog();
    auto* panel = static_cast<MPanel*>(dlg.m_pm.AddControl(
        std::make_unique<MPanel>(static_cast<MObject*>(&dlg), 50, CRect(0, 0, 200, 200), 1), 1));
    struct Case {
        const wchar_t* name;
        bool at_window;
        bool in_panel;
    };
    const Case cases[] = {
        {L"CArea", true, true},        {L"carea", false, false},   {L"CArea ", false, false},
        {L"", false, false},           {L"NoSuchCtrl", false, false}, {L"DListBox", false, true},
        {L"BatteryCtrl", true, false}, {L"MenuItem", true, true},
    };
    unsigned id = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(MRender::ToUtf8(c.name));
        EXPECT_EQ(dlg.CreateControl(c.name, ++id, CRect(0, 0, 10, 10), L"t", 1, 1) != nullptr, c.at_window);
        EXPECT_EQ(panel->CreateControl(c.name, ++id, CRect(0, 0, 10, 10), L"t", 1, 1) != nullptr, c.in_panel);
    }
    EXPECT_EQ(dlg.CreateControl(nullptr, 1, CRect(), L"", 1, 1), nullptr);
    // An unknown name creates nothing at all.
    EXPECT_EQ(dlg.GetControl(104), nullptr);
}

// Catches areas that honour the enabled argument although the table says they start enabled.
TEST_F(ControlTree, AreasStartEnabledAndAttachToTheWindow) {
    ProbeDialog& dlg = Dialog();
    MControl* area = dlg.CreateArea(L"CArea", 7, CRect(0, 0, 50, 50), L"", 1, 0);
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->IsEnabled());
    EXPECT_EQ(area->GetManager(), &dlg.m_pm);
    EXPECT_EQ(area->GetParantObject(), static_cast<MObject*>(&dlg));
    EXPECT_EQ(dlg.m_pm.GetAreas().size(), 1u);
    EXPECT_EQ(dlg.GetControl(7), area);
    EXPECT_TRUE(area->IsParentVisible());
}

// Catches a panel that swallows or renumbers its children's notifications on the way up.
TEST_F(ControlTree, NestedPanelNotificationsReachTheDialogWithTheInnerId) {
    ASSERT_TRUE(ControlFactory::Register(L"DListBox", MakeListProbe));
    ProbeDialog& dlg = Dialog();
    auto* outer = static_cast<MPanel*>(dlg.m_pm.AddControl(
        std::make_unique<MPanel>(static_cast<MObject*>(&dlg), 60, CRect(10, 10, 310, 210), 1), 1));
    auto* inner = static_cast<MPanel*>(
        outer->AddChild(std::make_unique<MPanel>(outer, 61, CRect(20, 20, 300, 200), 1), 1));
    MControl* list = inner->CreateControl(L"DListBox", 62, CRect(40, 40, 140, 90), L"", 1, 1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetManager(), &dlg.m_pm);
    Click(dlg, 50, 50);
    const std::vector<Notification> expected = {{62, NOTIFY_PRESS, 0, 0}, {62, NOTIFY_CLICK, 0, 0}};
    EXPECT_EQ(dlg.notes, expected);
    EXPECT_EQ(dlg.GetControl(62), list);
}

// Catches SetVisible that repaints when nothing changed, or forgets the area a hidden control leaves.
TEST_F(ControlTree, SetVisibleRepaintsOnlyOnChange) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* c = dlg.AddProbe(1, CRect(30, 40, 80, 90));
    Manager::PumpPending();
    ASSERT_FALSE(dlg.HasUpdateRegion());
    c->SetVisible(1);
    EXPECT_FALSE(dlg.HasUpdateRegion());
    c->SetVisible(0);
    EXPECT_EQ(dlg.TakeUpdateRegion(), CRect(30, 40, 80, 90));
    EXPECT_EQ(c->GetUpdate(), 0);
    c->SetVisible(0);
    EXPECT_FALSE(dlg.HasUpdateRegion());
}

// Catches a repaint request that ignores controls painted above the requester.
TEST_F(ControlTree, RepaintRequestGrowsOverLaterOverlappingControls) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* under = dlg.AddProbe(1, CRect(10, 10, 60, 60));
    ProbeControl* over = dlg.AddProbe(2, CRect(50, 50, 120, 120));
    ProbeControl* before = dlg.AddProbe(3, CRect(0, 0, 5, 5));
    (void)before;
    Manager::PumpPending();
    over->SetUpdate(1, 0);
    under->UpdateControl(1, 0);
    EXPECT_EQ(dlg.TakeUpdateRegion(), CRect(10, 10, 120, 120));
    EXPECT_EQ(over->GetUpdate(), 0);
}

// Catches a removed control left behind as hover or focus (a dangling pointer on the next event).
TEST_F(ControlTree, RemovingTheHoveredFocusedControlClearsTheLinks) {
    ProbeDialog& dlg = Dialog();
    ProbeControl* c = dlg.AddProbe(1, CRect(10, 10, 60, 60));
    Click(dlg, 20, 20);
    ASSERT_EQ(dlg.m_pm.GetHoverControl(), c);
    ASSERT_EQ(dlg.m_pm.GetFocusControl(), c);
    dlg.m_pm.RemoveControl(c);
    EXPECT_EQ(dlg.m_pm.GetHoverControl(), nullptr);
    EXPECT_EQ(dlg.m_pm.GetFocusControl(), nullptr);
    Click(dlg, 20, 20);
    EXPECT_EQ(dlg.GetControl(1), nullptr);
}

// Catches an image cache that reloads per request or recomputes frame widths from a later count.
TEST_F(ControlTree, SkinImagesAreSharedAndKeepTheirFirstFrameWidth) {
    WriteSkin("strip.png", 4, 10, 8, {0xFFFF0000});
    ProbeDialog& dlg = Dialog();
    ProbeControl* a = dlg.AddProbe(1, CRect(0, 0, 10, 10));
    ProbeControl* b = dlg.AddProbe(2, CRect(20, 0, 30, 10));
    ProbeControl orphan(nullptr, 3, CRect());
    EXPECT_EQ(orphan.SetImage(L"strip.png", 4), 0);
    ASSERT_EQ(a->SetImage(L"strip.png", 4), 1);
    EXPECT_EQ(a->GetImageSize(), CSize(10, 8));
    ASSERT_EQ(b->SetImage(L"strip.png", 8), 1);
    EXPECT_EQ(b->GetImageSize(), CSize(10, 8));
    EXPECT_EQ(a->GetImage(), b->GetImage());
    // A missing file leaves the previous image in place.
    EXPECT_EQ(b->SetImage(L"missing.png", 4), 0);
    EXPECT_EQ(b->GetImagePath(), L"strip.png");
    EXPECT_EQ(b->GetImage(), a->GetImage());
}

// Catches off-by-one or sign errors in the three position modes.
TEST_F(ControlTree, PositionItemsResolveInsideTheSpan) {
    struct Case {
        QUEN_POSITION_ITEM item;
        int expected;
    };
    const Case cases[] = {
        {{0, 0, 10.7f}, 110}, {{0, 1, 10.7f}, 190}, {{1, 0, 5.0f}, 145},
        {{1, 1, 5.0f}, 155},  {{2, 0, 25.0f}, 125}, {{2, 0, 150.0f}, 200}, {{7, 0, 1.0f}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PositionItem2Value(c.item, 100, 200), c.expected) << c.item.mode << " " << c.item.value;
}

// Catches a visibility walk that stops at the first panel or treats a hidden ancestor as visible.
TEST_F(ControlTree, ParentVisibilityFollowsEveryAncestor) {
    ProbeDialog& dlg = Dialog();
    auto* panel = static_cast<MPanel*>(dlg.m_pm.AddControl(
        std::make_unique<MPanel>(static_cast<MObject*>(&dlg), 60, CRect(0, 0, 100, 100), 1), 1));
    MControl* child = panel->AddChild(std::make_unique<ProbeControl>(panel, 61, CRect(0, 0, 10, 10)), 1);
    EXPECT_TRUE(child->IsParentVisible());
    panel->SetVisible(0);
    EXPECT_FALSE(child->IsParentVisible());
    ProbeControl loose(nullptr, 1, CRect());
    EXPECT_FALSE(loose.IsParentVisible());
}

} // namespace
} // namespace toolkit_test
