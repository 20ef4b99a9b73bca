// Emulator hot-plug events through an eventfd.
#include "sim/EmulatorEventSource.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "sim/KeyboardEmulator.h"

EmulatorEventSource::EmulatorEventSource(KeyboardEmulator& emulator)
    : m_emulator(emulator), m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    m_emulator.SetHotplugListener([this](bool arrived, const std::string& name) { Push(arrived, name); });
}

EmulatorEventSource::~EmulatorEventSource() {
    m_emulator.SetHotplugListener(nullptr);
    if (m_fd >= 0) close(m_fd);
}

void EmulatorEventSource::Push(bool arrived, const std::string& interfaceName) {
    {
        std::lock_guard lock(m_mutex);
        m_events.push_back(
            {arrived ? kDeviceArrival : kDeviceRemoveComplete, kBroadcastDeviceInterface, interfaceName});
    }
    const uint64_t one = 1;
    if (m_fd >= 0) [[maybe_unused]]
        auto n = write(m_fd, &one, sizeof one);
}

std::vector<DeviceEvent> EmulatorEventSource::ReadEvents() {
    uint64_t count = 0;
    if (m_fd >= 0) [[maybe_unused]]
        auto n = read(m_fd, &count, sizeof count);
    std::lock_guard lock(m_mutex);
    std::vector<DeviceEvent> events;
    events.swap(m_events);
    return events;
}
