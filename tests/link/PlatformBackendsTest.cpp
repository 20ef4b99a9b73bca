// The hidapi backend and the udev monitor on a machine without the keyboard.
#include <gtest/gtest.h>

#include "link/HidapiBackend.h"
#include "link/UdevDeviceMonitor.h"

// Catches the hidapi backend crashing on an empty system or opening a path that does not exist.
TEST(HidapiBackend, OpensNothingThatIsNotThere) {
    HidapiBackend backend;
    if (!backend.Init()) GTEST_SKIP() << "hidapi cannot start here";
    for (const HidDeviceInfo& info : backend.Enumerate())
        EXPECT_FALSE(info.path.empty());
    EXPECT_EQ(backend.OpenPath("/dev/hidraw-molvane-missing"), nullptr);
}

// Catches a started monitor without a watchable fd, or one that blocks when nothing happened.
TEST(UdevDeviceMonitor, StartsWithAWatchableFd) {
    UdevDeviceMonitor monitor;
    EXPECT_EQ(monitor.Fd(), -1);
    if (!monitor.Start()) GTEST_SKIP() << "no udev netlink here";
    EXPECT_GE(monitor.Fd(), 0);
    EXPECT_TRUE(monitor.ReadEvents().empty());
}
