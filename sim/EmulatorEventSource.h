// The emulator's plug and unplug as device events on a watchable fd, like the udev monitor's.
#pragma once

#include <mutex>
#include <vector>

#include "link/DeviceEventSource.h"

class KeyboardEmulator;

class EmulatorEventSource final : public DeviceEventSource {
public:
    // Listens to `emulator`'s plug and unplug from now on; the emulator must outlive the source.
    explicit EmulatorEventSource(KeyboardEmulator& emulator);
    ~EmulatorEventSource() override;
    EmulatorEventSource(const EmulatorEventSource&) = delete;
    EmulatorEventSource& operator=(const EmulatorEventSource&) = delete;

    int Fd() const override { return m_fd; }
    std::vector<DeviceEvent> ReadEvents() override;

private:
    void Push(bool arrived, const std::string& interfaceName);

    KeyboardEmulator& m_emulator;
    int m_fd = -1; // eventfd, readable while events wait
    std::mutex m_mutex;
    std::vector<DeviceEvent> m_events;
};
