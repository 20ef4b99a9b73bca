// Arrival/removal handling and the rescan, with the emulated keyboard as the device.
#include <gtest/gtest.h>

#include <poll.h>

#include "LinkTestSupport.h"
#include "link/ConnectionMonitor.h"
#include "sim/EmulatorEventSource.h"

namespace {

class RecordingClient final : public ConnectionClient {
public:
    void QueueJob(int jobCode) override { jobs.push_back(jobCode); }
    void CloseAllPopups() override { ++popupsClosed; }
    void ResetAllDeviceStates() override { deviceStates.clear(); }
    void SetDeviceState(int deviceType, int state) override { deviceStates.emplace_back(deviceType, state); }
    void ShowConnection(const ConnectionState&, bool isUsable) override { usable = isUsable; }

    std::vector<int> jobs;
    int popupsClosed = 0;
    std::vector<std::pair<int, int>> deviceStates;
    bool usable = false;
};

struct MonitorFixture {
    explicit MonitorFixture(int mode, std::vector<EmulatedMode> modes = KeyboardEmulator::DefaultModes())
        : device(mode, std::move(modes)), monitor(device.link, client) {}
    EmulatedLink device;
    RecordingClient client;
    ConnectionMonitor monitor;
};

const std::string kCableName = "HID#VID_2F5A&PID_7101&MI_02#/DEV/HIDRAW3";

} // namespace

// Catches a GATT arrival triggering a rescan, non-matching names or event codes acting, and the wrong
// pending value.
TEST(ConnectionMonitor, ArrivalNotices) {
    struct Case {
        int code;
        int broadcast;
        std::string name;
        int job; // 0: ignored
    };
    const std::vector<Case> cases = {
        {kDeviceArrival, 5, kCableName, kJobRescanOnArrival},
        {kDeviceArrival, 5, "hid#vid_2f5a&pid_7101&mi_02#/dev/hidraw3", kJobRescanOnArrival},
        {kDeviceArrival, 5, kCableName + "#{00001812-0000-1000-8000-00805f9b34fb}", 0},
        {kDeviceArrival, 5, "HID#VID_2F5A&PID_7101&MI_00#/DEV/HIDRAW2", 0},
        {kDeviceArrival, 3, kCableName, 0},
        {0x8001, 5, kCableName, 0},
        {kDeviceRemoveComplete, 5, kCableName, 0}, // never connected
    };
    for (const Case& c : cases) {
        MonitorFixture f(-1);
        f.monitor.OnDeviceChange(c.code, c.broadcast, c.name);
        EXPECT_EQ(f.client.jobs, c.job ? std::vector<int>{c.job} : std::vector<int>{}) << c.name;
        const ConnectionState s = f.monitor.State();
        EXPECT_EQ(s.pendingEvent, c.job ? PendingDeviceEvent::Arrival : PendingDeviceEvent::None) << c.name;
        EXPECT_EQ(s.pendingValue, c.job ? 201 : 0) << c.name;
    }
}

// Catches a rescan that misreads the connected keyboard: flags, mode, device selector, and the two jobs.
TEST(ConnectionMonitor, RescanPerConnectionMode) {
    for (int mode : {0, 1, 2}) {
        MonitorFixture f(mode);
        f.monitor.Refresh();
        const ConnectionState s = f.monitor.State();
        EXPECT_TRUE(s.interfacesPresent);
        EXPECT_TRUE(s.listedKeyboard);
        EXPECT_TRUE(s.AllowsDeviceJobs());
        EXPECT_TRUE(s.firstScanDone);
        EXPECT_EQ(s.connectionMode, mode);
        EXPECT_EQ(s.entryConnected, (std::vector<bool>{mode == 0, mode == 1, mode == 2}));
        EXPECT_EQ(f.client.jobs, (std::vector<int>{kJobCheckFirmware, kJobReadDevice}));
        EXPECT_EQ(f.client.deviceStates, (std::vector<std::pair<int, int>>{{201, 1}}));
        EXPECT_EQ(f.client.popupsClosed, 1);
        EXPECT_EQ(f.device.link.SelectedType(), 201);
        EXPECT_EQ(f.device.link.HasAuxiliary(), mode != 2);
    }
}

// Catches a removal of a connected entry being ignored, and a rescan without the keyboard still
// presenting one.
TEST(ConnectionMonitor, RemovalThenRescanWithoutKeyboard) {
    MonitorFixture f(1);
    f.monitor.Refresh();
    f.client.jobs.clear();
    const std::string name = f.device.emulator.InterfaceNames()[1];
    ASSERT_NE(name.find("PID_7102&MI_02"), std::string::npos);
    f.device.emulator.Unplug();
    f.monitor.OnDeviceChange(kDeviceRemoveComplete, kBroadcastDeviceInterface, name);
    ConnectionState s = f.monitor.State();
    EXPECT_EQ(s.pendingEvent, PendingDeviceEvent::Removal);
    EXPECT_EQ(s.pendingValue, 1);
    EXPECT_FALSE(s.entryConnected[1]);
    EXPECT_EQ(f.client.jobs, std::vector<int>{kJobRescanOnRemoval});

    f.client.jobs.clear();
    f.monitor.Refresh();
    s = f.monitor.State();
    EXPECT_FALSE(s.interfacesPresent);
    EXPECT_EQ(s.connectionMode, -1);
    EXPECT_EQ(s.pendingEvent, PendingDeviceEvent::None);
    EXPECT_FALSE(f.client.usable);
    EXPECT_TRUE(f.client.jobs.empty());
    EXPECT_TRUE(f.client.deviceStates.empty());
    EXPECT_FALSE(f.device.link.Ready());
}

// Catches a keyboard whose product name matches no named catalogue entry being treated as listed,
// or as absent.
TEST(ConnectionMonitor, KeyboardWithOtherProductName) {
    std::vector<EmulatedMode> modes = KeyboardEmulator::DefaultModes();
    modes[0].productString = "Molvane MK71 rev B";
    MonitorFixture f(-1, modes);
    // The nameless entry lets the interface be opened; the interface takes its mode from the first entry.
    f.device.link.ClearCatalogue();
    f.device.link.AddCatalogueEntry(0x2F5A, 0x7101, "Molvane MK71", 201, 0, "PID_7101&MI_02");
    f.device.link.AddCatalogueEntry(0x2F5A, 0x7101, "", 201, 1, "PID_7101&MI_02");
    f.device.emulator.Plug(0);
    f.monitor.Refresh();
    const ConnectionState s = f.monitor.State();
    EXPECT_TRUE(s.interfacesPresent);
    EXPECT_EQ(s.connectionMode, 0);
    EXPECT_FALSE(s.listedKeyboard);
    EXPECT_TRUE(f.client.usable) << "mode 0 shows the pages";
    EXPECT_EQ(f.client.jobs, (std::vector<int>{kJobCheckFirmware, kJobReadDevice}));
    EXPECT_FALSE(s.AllowsDeviceJobs()) << "the worker drops the queued device jobs";
}

// Catches plug and unplug of the emulator not reaching the monitor through a watchable fd.
TEST(ConnectionMonitor, EmulatorHotplugThroughItsFd) {
    MonitorFixture f(-1);
    EmulatorEventSource events(f.device.emulator);
    pollfd p{events.Fd(), POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 0), 0);
    f.device.emulator.Plug(0);
    ASSERT_EQ(poll(&p, 1, 0), 1);
    f.monitor.Dispatch(events);
    EXPECT_EQ(poll(&p, 1, 0), 0);
    EXPECT_EQ(f.client.jobs, std::vector<int>{kJobRescanOnArrival}) << "only the MI_02 interface matches";
    f.monitor.Refresh();
    f.client.jobs.clear();
    f.device.emulator.Unplug();
    f.monitor.Dispatch(events);
    EXPECT_EQ(f.client.jobs, std::vector<int>{kJobRescanOnRemoval});
}
