// Process-wide emulated keyboard for --simulate.
#include "sim/SimulatedKeyboard.h"

#include <memory>
#include <mutex>

#include "link/DeviceLink.h"
#include "sim/EmulatorEventSource.h"
#include "sim/KeyboardEmulator.h"

namespace {

std::mutex g_mutex;
std::unique_ptr<KeyboardEmulator> g_emulator;
std::unique_ptr<EmulatorEventSource> g_events;

} // namespace

bool StartSimulatedKeyboard(int mode) {
    std::lock_guard lock(g_mutex);
    if (!g_emulator) {
        g_emulator = std::make_unique<KeyboardEmulator>();
        g_events = std::make_unique<EmulatorEventSource>(*g_emulator);
        DeviceLink::Instance().SetBackend(g_emulator->CreateBackend());
    }
    return g_emulator->Plug(mode);
}

KeyboardEmulator* SimulatedKeyboard() {
    std::lock_guard lock(g_mutex);
    return g_emulator.get();
}

DeviceEventSource* SimulatedDeviceEvents() {
    std::lock_guard lock(g_mutex);
    return g_events.get();
}
