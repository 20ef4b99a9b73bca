// hidraw arrivals and removals from a libudev monitor, named like the enumerated interfaces.
#pragma once

#include <map>
#include <string>

#include "link/DeviceEventSource.h"

struct udev;
struct udev_monitor;
struct udev_device;

class UdevDeviceMonitor final : public DeviceEventSource {
public:
    UdevDeviceMonitor() = default;
    ~UdevDeviceMonitor() override;
    UdevDeviceMonitor(const UdevDeviceMonitor&) = delete;
    UdevDeviceMonitor& operator=(const UdevDeviceMonitor&) = delete;

    // Starts listening; false when udev is unavailable (the program then runs without hot-plug).
    bool Start();
    int Fd() const override;
    std::vector<DeviceEvent> ReadEvents() override;

private:
    static std::string NameOf(udev_device* device);
    void RememberExisting();

    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    // Removal events come after sysfs is gone, so the names learnt on arrival are kept by device node.
    std::map<std::string, std::string> m_names;
};
