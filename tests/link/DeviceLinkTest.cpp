// Interface discovery, selection and the report primitives of the device link.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "LinkTestSupport.h"
#include "device/DeviceCatalogue.h"
#include "link/HidTrace.h"
#include "link/InterfaceName.h"

namespace {

// A backend listing whatever the test puts in it; counts every call that reaches it.
class ListedBackend final : public HidBackend {
public:
    struct Device final : HidDevice {
        explicit Device(ListedBackend& b) : backend(b) {}
        int SendFeatureReport(std::span<const uint8_t> r) override { return ++backend.calls, int(r.size()); }
        int GetFeatureReport(std::span<uint8_t> r) override { return ++backend.calls, int(r.size()); }
        int Write(std::span<const uint8_t> r) override { return ++backend.calls, int(r.size()); }
        std::string LastError() const override { return {}; }
        ListedBackend& backend;
    };

    bool Init() override { return true; }
    std::vector<HidDeviceInfo> Enumerate() override { return ++calls, list; }
    std::unique_ptr<HidDevice> OpenPath(const std::string& path) override {
        ++calls;
        opened.push_back(path);
        return path.find("broken") != std::string::npos ? nullptr : std::make_unique<Device>(*this);
    }

    std::vector<HidDeviceInfo> list;
    std::vector<std::string> opened;
    int calls = 0;
};

HidDeviceInfo Info(std::string path, uint16_t pid, uint16_t page, uint16_t usage, int interfaceNumber,
                   std::string product = "Board") {
    HidDeviceInfo i;
    i.path = std::move(path);
    i.vendorId = 0x1234;
    i.productId = pid;
    i.usagePage = page;
    i.usage = usage;
    i.interfaceNumber = interfaceNumber;
    i.productString = std::move(product);
    return i;
}

struct ListedLink {
    ListedLink() {
        auto b = std::make_unique<ListedBackend>();
        backend = b.get();
        link = std::make_unique<DeviceLink>(std::move(b), &clock);
    }
    VirtualPacingClock clock;
    ListedBackend* backend;
    std::unique_ptr<DeviceLink> link;
};

} // namespace

// Catches an interface name that catalogue patterns and the "&MI_03" test cannot match.
TEST(InterfaceName, WindowsStyleNames) {
    EXPECT_EQ(MakeInterfaceName(0x2f5a, 0x7101, 2, "/dev/hidraw3"),
              "HID#VID_2F5A&PID_7101&MI_02#/DEV/HIDRAW3");
    EXPECT_EQ(MakeInterfaceName(0x2f5a, 0x7103, -1, "/dev/hidraw4"), "HID#VID_2F5A&PID_7103#/DEV/HIDRAW4");
    EXPECT_EQ(MakeInterfaceName(1, 2, -1, "x", true),
              "HID#VID_0001&PID_0002#X#{00001812-0000-1000-8000-00805F9B34FB}");
}

// Catches non-vendor collections kept, the wrong usage pairs accepted, product-name rules broken,
// failed opens kept, and the auxiliary interface listed as a configuration interface.
TEST(DeviceLink, EnumerationKeepsOnlyConfigurationInterfaces) {
    ListedLink t;
    t.link->AddCatalogueEntry(0x1234, 0x0001, "Board", 201, 0, "&MI_02");
    t.link->AddCatalogueEntry(0x1234, 0x0002, "", 201, 1, "&MI_02");
    t.backend->list = {
        Info("/dev/a0", 1, 0x0001, 6, 0),             // keyboard collection
        Info("/dev/a1", 1, 0xFF01, 2, 1),             // wrong usage pair
        Info("/dev/a2", 1, 0xFF02, 1, 1),             // wrong usage pair
        Info("/dev/a3", 1, 0xFF02, 2, 2),             // kept
        Info("/dev/a4", 1, 0xFF01, 1, 3),             // auxiliary
        Info("/dev/a5", 1, 0xFF02, 2, 2, "Other"),    // product name differs
        Info("/dev/a8", 1, 0xFF02, 2, 2, ""),         // no product string: a named entry never matches
        Info("/dev/a6", 2, 0xFF01, 1, 2, "Anything"), // empty catalogue name matches any product
        Info("/dev/broken", 2, 0xFF02, 2, 2),         // cannot be opened
        Info("/dev/a7", 3, 0xFF02, 2, 2),             // not in the catalogue
    };
    EXPECT_EQ(t.link->Enumerate(), 2);
    std::vector<LinkInterfaceInfo> found;
    t.link->SelectType(0);
    t.link->CountInterfaces(&found);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].path, "/dev/a3");
    EXPECT_EQ(found[0].modeValue, 0);
    EXPECT_TRUE(found[0].wired);
    EXPECT_EQ(found[1].path, "/dev/a6");
    EXPECT_EQ(found[1].index, 1);
    EXPECT_EQ(found[1].modeValue, 1);
    EXPECT_TRUE(t.link->HasAuxiliary());
    // Only catalogue-matching vendor collections are ever opened; the path keeps its case.
    EXPECT_EQ(t.backend->opened, (std::vector<std::string>{"/dev/a3", "/dev/a4", "/dev/a6", "/dev/broken"}));
}

// Catches the two different mode orders of Current (0,1,2) and ConnectionMode (0,2,1) being mixed up,
// and interfaces of another device type being chosen.
TEST(DeviceLink, CurrentAndConnectionModeOrder) {
    ListedLink t;
    t.link->AddCatalogueEntry(0x1234, 0x0001, "", 200, 0, "");
    t.link->AddCatalogueEntry(0x1234, 0x0002, "", 201, 2, "");
    t.link->AddCatalogueEntry(0x1234, 0x0003, "", 201, 1, "");
    t.backend->list = {Info("/dev/other", 1, 0xFF02, 2, 2), Info("/dev/m2", 2, 0xFF02, 2, 2),
                       Info("/dev/m1", 3, 0xFF02, 2, 2)};
    t.link->Enumerate();
    t.link->SelectType(201);
    EXPECT_EQ(t.link->ConnectionMode(), 2);
    EXPECT_EQ(t.link->Current(), 2); // the mode-1 interface
    t.link->SelectType(200);
    EXPECT_EQ(t.link->Current(), 2) << "the choice is cached until ClearCurrent";
    t.link->ClearCurrent();
    EXPECT_EQ(t.link->Current(), 0);
    EXPECT_EQ(t.link->ConnectionMode(), 0);
    EXPECT_EQ(t.link->CountInterfaces(), 1);
    t.link->SelectType(0);
    EXPECT_EQ(t.link->CountInterfaces(), 3);
}

// Catches FindInterface searching past the first record with the ids, or ignoring the product name.
TEST(DeviceLink, FindInterfaceStopsAtFirstMatchingIds) {
    ListedLink t;
    t.link->AddCatalogueEntry(0x1234, 0x0001, "", 201, 0, "");
    t.backend->list = {Info("/dev/x", 1, 0xFF02, 2, 2, "First"), Info("/dev/y", 1, 0xFF02, 2, 2, "Second")};
    t.link->Enumerate();
    EXPECT_EQ(t.link->FindInterface(0x1234, 1, "", 0), 0);
    EXPECT_EQ(t.link->FindInterface(0x1234, 1, "First", 0), 0);
    EXPECT_EQ(t.link->FindInterface(0x1234, 1, "Second", 0), -1);
    EXPECT_EQ(t.link->FindInterface(0x1234, 1, "", 1), -1);
    EXPECT_EQ(t.link->FindInterface(0x1234, 2, "", 0), -1);
}

// Catches a send that touches the HID layer (or pauses) with no interface, or before the link was opened.
TEST(DeviceLink, SendsFailAtOnceWithoutInterface) {
    ListedLink t;
    t.link->AddCatalogueEntry(0x1234, 0x0001, "", 201, 0, "");
    t.link->SelectType(201);
    EXPECT_EQ(t.link->ConnectionMode(), -1);
    const int before = t.backend->calls;
    EXPECT_FALSE(t.link->SetFeature8Delayed(Report8{7}));
    EXPECT_FALSE(t.link->SetFeature8(Report8{7}));
    EXPECT_FALSE(t.link->Write64(Report64{}));
    EXPECT_FALSE(t.link->WriteReport(Report65{}));
    EXPECT_FALSE(t.link->QueryTable(Report8{7, 0xFB, 1}).sent);
    EXPECT_FALSE(t.link->ReadFeatureReply(Report8{7, 0xFD}).has_value());
    EXPECT_EQ(t.backend->calls, before);
    EXPECT_EQ(t.clock.Now().count(), 0);

    t.backend->list = {Info("/dev/x", 1, 0xFF02, 2, 2)};
    t.link->Enumerate();
    t.link->CloseAll();
    EXPECT_FALSE(t.link->IsOpened());
    EXPECT_FALSE(t.link->SetFeature8(Report8{7}));
}

// Catches a missing or doubled retry, or the wrong retry pause, of the two output primitives.
TEST(DeviceLink, OutputRetriesOnceAfterItsPause) {
    struct Case {
        bool report65;
        int failures;
        bool ok;
        long long pauseUs;
        int accepted;
    };
    const Case cases[] = {
        {false, 1, true, 32000, 1}, {false, 2, false, 32000, 0}, {true, 1, true, 10000, 1},
        {true, 2, false, 10000, 0}, {false, 0, true, 0, 1},
    };
    for (const Case& c : cases) {
        EmulatedLink t;
        t.emulator.FailWrites(c.failures);
        Report65 report{};
        report[1] = 0x8B;
        const long long start = t.clock.Now().count();
        const bool ok =
            c.report65 ? t.link.WriteReport(report) : t.link.Write64(Report64{0xBB, 0xAA, 0x99, 0x88, 0xAA});
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(t.clock.Now().count() - start, c.pauseUs);
        EXPECT_EQ(t.emulator.State().log.size(), static_cast<size_t>(c.accepted));
        if (!c.ok) {
            EXPECT_EQ(t.link.LastError(), "write failed");
        }
    }
}

// Catches a slot table assembled from a failed or short read being reported as complete.
TEST(DeviceLink, SlotTableReadCompleteness) {
    for (int length : {8, 5, 0}) {
        EmulatedLink t;
        t.emulator.PresetMacroSlot(1, 0x04);
        t.emulator.PresetRemapSlot(10, 0x05);
        t.emulator.ShortReads(length == 8 ? 0 : 1, length);
        const SlotTableRead table = t.link.QueryTable(Report8{7, 0xFB, 1});
        EXPECT_TRUE(table.sent);
        EXPECT_EQ(table.complete, length == 8) << length;
        if (length == 8) {
            EXPECT_EQ(table.bytes[1], 0x04);
            EXPECT_EQ(table.bytes[23], 0x05);
        }
        EXPECT_EQ(t.clock.Now().count(), 4 * 16000);
    }
}

// Catches trace lines in the wrong format, or missing replies from the keyboard.
TEST(HidTrace, LogsBothDirections) {
    LinkTempFolder folder;
    const std::string file = folder.Path() + "trace.txt";
    {
        EmulatedLink t;
        t.link.SetTrace(HidTrace::Open(file));
        t.emulator.SetFirmwareVersion(0x0A0B);
        ASSERT_TRUE(t.link.ReadFeatureReply(Report8{7, 0xFD}).has_value());
        Report64 payload{0xBB, 0xAA};
        t.link.Write64(payload);
    }
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        const size_t space = line.find(' ');
        ASSERT_NE(space, std::string::npos);
        EXPECT_TRUE(std::all_of(line.begin(), line.begin() + space, ::isdigit)) << line;
        lines.push_back(line.substr(space + 1));
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "> feature 07 FD 00 00 00 00 00 00");
    EXPECT_EQ(lines[1], "< feature 07 0A 0B 00 00 00 00 00");
    EXPECT_EQ(lines[2].substr(0, 24), "> output 00 BB AA 00 00 ");
    EXPECT_EQ(lines[2].size(), std::string("> output").size() + 65 * 3);
    EXPECT_EQ(HidTrace::Open(folder.Path() + "missing/trace.txt"), nullptr);
}

// Catches MOLVANE_HID_TRACE being ignored by a new link.
TEST(HidTrace, NamedByTheEnvironment) {
    LinkTempFolder folder;
    const std::string file = folder.Path() + "env-trace.txt";
    ::setenv("MOLVANE_HID_TRACE", file.c_str(), 1);
    {
        EmulatedLink t;
        t.link.SetFeature8(Report8{7, 0x23, 0x45, 0x67, 0x89, 1, 0, 9});
    }
    ::unsetenv("MOLVANE_HID_TRACE");
    std::ifstream in(file);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_NE(line.find("> feature 07 23 45 67 89 01 00 09"), std::string::npos) << line;
}

// Catches the catalogue's mode records losing a field on their way into the link.
TEST(DeviceLink, CatalogueFromModeRecords) {
    DeviceDescriptor mode;
    mode.m_name = "Molvane MK71 BT";
    mode.m_deviceType = 201;
    mode.m_modeValue = 2;
    mode.m_vendorId = 0x2F5A;
    mode.m_productId = 0x7103;
    mode.m_interfacePattern = "VID_2F5A&PID_7103";
    VirtualPacingClock clock;
    KeyboardEmulator emulator(KeyboardEmulator::DefaultModes(), &clock);
    DeviceLink link(emulator.CreateBackend(), &clock);
    link.AddCatalogueEntries({mode});
    const auto entries = link.Catalogue();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].productName, "Molvane MK71 BT");
    EXPECT_EQ(entries[0].interfacePattern, "VID_2F5A&PID_7103");
    emulator.Plug(2);
    EXPECT_EQ(link.Enumerate(), 1);
    link.SelectType(201);
    EXPECT_EQ(link.ConnectionMode(), 2);
}
