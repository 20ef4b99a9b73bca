// The keyboard emulator's own behaviour: interfaces, packet assembly, dead handles, malformed reports.
#include <gtest/gtest.h>

#include "sim/KeyboardEmulator.h"

namespace {

std::unique_ptr<HidDevice> OpenVendor(HidBackend& backend) {
    for (const HidDeviceInfo& info : backend.Enumerate())
        if (info.usagePage == 0xFF02) return backend.OpenPath(info.path);
    return nullptr;
}

int Feature(HidDevice& d, std::initializer_list<int> bytes) {
    Report8 r{};
    std::copy(bytes.begin(), bytes.end(), r.begin());
    return d.SendFeatureReport(r);
}

} // namespace

// Catches a mode exposing the wrong collections or names (the link's filters are tested against these).
TEST(KeyboardEmulator, InterfacesPerMode) {
    KeyboardEmulator emulator;
    EXPECT_TRUE(emulator.CreateBackend()->Enumerate().empty());
    ASSERT_TRUE(emulator.Plug(1));
    EXPECT_EQ(emulator.InterfaceNames(),
              (std::vector<std::string>{"HID#VID_2F5A&PID_7102&MI_00#SIM/KBD-MODE1/IF0",
                                        "HID#VID_2F5A&PID_7102&MI_02#SIM/KBD-MODE1/IF2",
                                        "HID#VID_2F5A&PID_7102&MI_03#SIM/KBD-MODE1/IF3"}));
    ASSERT_TRUE(emulator.Plug(2));
    EXPECT_EQ(emulator.InterfaceNames(), std::vector<std::string>{"HID#VID_2F5A&PID_7103#SIM/KBD-MODE2/BT"});
    EXPECT_EQ(emulator.CreateBackend()->Enumerate().size(), 2u);
    EXPECT_FALSE(emulator.Plug(3));
}

// Catches a macro slot stored before its 28th packet, a stray continuation accepted, or a restart not
// discarding the half-sent slot.
TEST(KeyboardEmulator, MacroSlotAssembly) {
    KeyboardEmulator emulator;
    emulator.Plug(0);
    auto backend = emulator.CreateBackend();
    auto d = OpenVendor(*backend);
    ASSERT_TRUE(d);
    Feature(*d, {7, 0x00, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(emulator.State().rejectedReports, 1);
    Feature(*d, {7, 0xF1, 1, 2, 0x09, 1, 0x04, 0x01});
    Feature(*d, {7, 0xF1, 1, 3, 0x0A, 2, 0x05, 0x01}); // starts over
    for (int i = 1; i < 27; ++i)
        Feature(*d, {7, 0x00, i == 1 ? 0x05 : 0, i == 1 ? 0x81 : 0, 0, 0, 0, 0});
    EXPECT_EQ(emulator.State().slotTable[3], 0);
    Feature(*d, {7, 0x00});
    const EmulatorState s = emulator.State();
    EXPECT_EQ(s.slotTable[2], 0);
    EXPECT_EQ(s.slotTable[3], 0x0A);
    EXPECT_EQ(s.macroSlots[2].repeatCount, 2);
    EXPECT_EQ(s.macroSlots[2].events, (std::vector<std::pair<uint8_t, uint8_t>>{{0x05, 0x01}, {0x05, 0x81}}));
}

// Catches handles that keep working after an unplug (a real hidraw node is gone), and non-vendor
// interfaces changing the firmware state.
TEST(KeyboardEmulator, HandlesDieWithTheConnection) {
    KeyboardEmulator emulator;
    emulator.Plug(0);
    auto backend = emulator.CreateBackend();
    auto vendor = OpenVendor(*backend);
    auto keyboard = backend->OpenPath(backend->Enumerate()[0].path);
    ASSERT_TRUE(vendor && keyboard);
    EXPECT_EQ(Feature(*keyboard, {7, 0xFA, 1, 1, 0x04, 1, 2, 1}), 8);
    EXPECT_EQ(emulator.State().slotTable[14], 0);
    Report8 reply{7};
    EXPECT_EQ(keyboard->GetFeatureReport(reply), -1);

    emulator.Unplug();
    emulator.Plug(0);
    EXPECT_EQ(Feature(*vendor, {7, 0xFA, 1, 1, 0x04, 1, 2, 1}), -1);
    EXPECT_EQ(vendor->LastError(), "device disconnected");
    EXPECT_EQ(vendor->Write(Report65{}), -1);
    auto fresh = OpenVendor(*backend);
    EXPECT_EQ(Feature(*fresh, {7, 0xFA, 1, 1, 0x04, 1, 2, 1}), 8);
    EXPECT_EQ(emulator.State().slotTable[14], 0x04);
}

// Catches malformed wireless and colour reports being obeyed: a lone second reset report, a colour
// report past the table's end.
TEST(KeyboardEmulator, MalformedOutputReportsAreRefused) {
    KeyboardEmulator emulator;
    emulator.Plug(1);
    auto backend = emulator.CreateBackend();
    auto d = OpenVendor(*backend);
    Report65 second{0, 0xBB, 0xAA, 0x99, 0x88};
    d->Write(second);
    Report65 colours{0, 0x8B, 60, 0x58, 0x02}; // offset 600
    d->Write(colours);
    const EmulatorState s = emulator.State();
    EXPECT_EQ(s.factoryResets, 0);
    EXPECT_EQ(s.rejectedReports, 2);
}
