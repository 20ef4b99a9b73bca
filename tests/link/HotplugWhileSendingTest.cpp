// The music level sent from another thread while the keyboard comes and goes and the link rescans.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "LinkTestSupport.h"
#include "link/ConnectionMonitor.h"
#include "link/KeyboardProtocol.h"

namespace {

class CountingClient final : public ConnectionClient {
public:
    void QueueJob(int) override { ++jobs; }
    void CloseAllPopups() override {}
    void ResetAllDeviceStates() override {}
    void SetDeviceState(int, int) override {}
    void ShowConnection(const ConnectionState&, bool) override {}
    std::atomic<int> jobs{0};
};

} // namespace

// Catches a send racing a rescan on a closed or replaced handle (use after free, data race), and a
// level reported as sent that the keyboard never got.
TEST(HotplugWhileSending, LevelsFailCleanlyDuringRescans) {
    EmulatedLink device(0);
    CountingClient client;
    ConnectionMonitor monitor(device.link, client);
    ProfileDatabase unusedDatabase;
    KeyboardProtocol protocol(device.link, unusedDatabase);
    monitor.Refresh();

    std::atomic<bool> done{false};
    std::atomic<int> sent{0};
    std::atomic<int> failed{0};
    std::thread audio([&] {
        // Bounded so the emulator's history keeps every level for the comparison below.
        for (int level = 0; !done && sent + failed < 50000; level = (level + 1) % 128)
            (protocol.SendMusicLevel(level, 1.0, 1, 0) >= 0 ? sent : failed)++;
    });
    // On a quiet machine the rounds could finish before the sender first runs: wait for it, and let
    // it make progress in every round, so rescans and sends really overlap.
    const auto attempts = [&] { return sent.load() + failed.load(); };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    const auto waitForSender = [&](int before) {
        while (attempts() == before && attempts() < 50000 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    };
    waitForSender(0);
    for (int round = 0; round < 150; ++round) {
        const int before = attempts();
        device.emulator.Unplug();
        if (round % 3 == 0) monitor.Refresh(); // rescan while unplugged: the link ends up empty
        device.emulator.Plug(round % 3);
        monitor.Refresh();
        waitForSender(before);
    }
    done = true;
    audio.join();

    EXPECT_GT(sent.load(), 0);
    EXPECT_EQ(device.emulator.State().musicLevels.size(), static_cast<size_t>(sent.load()));
    EXPECT_TRUE(monitor.State().interfacesPresent);
}
