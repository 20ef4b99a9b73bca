// The kernel layer (UI_DEV_CREATE, EVIOCGRAB, EVIOCGKEY) against the real /dev/uinput.
#include "keys/EvdevNode.h"
#include "keys/UinputDevice.h"
#include "keys/VHidev.h"

#include "EventPipe.h"

#include <gtest/gtest.h>

#include <thread>

// Catches a virtual device that the kernel refuses or that does not deliver what VHidev writes,
// and a clone or grab that fails on a real node.
TEST(UinputKernel, VirtualDeviceDeliversKeysToItsNode)
{
    if (::access("/dev/uinput", W_OK) != 0)
        GTEST_SKIP() << "/dev/uinput is absent or not writable on this machine; this test needs the uinput "
                        "module and the rules of data/driver (sudo sh data/driver/install.sh)";
    std::string error;
    auto device = UinputDevice::CreateVirtual(error);
    ASSERT_TRUE(device) << error;
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // udev names the node
    auto node = EvdevNode::Open(device->DevNode(), error);
    ASSERT_TRUE(node) << error;
    ASSERT_TRUE(node->SetGrab(true));

    VHidev vhidev;
    vhidev.UseOutput(device->Fd());
    vhidev.SetKeyboardUsage(0x04, true);
    KeyBits held;
    ASSERT_TRUE(node->QueryHeldKeys(held));
    EXPECT_TRUE(held.test(KEY_A));
    vhidev.ReleaseAll();
    EXPECT_TRUE(node->SetGrab(false));
}
