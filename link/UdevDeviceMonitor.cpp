// libudev hidraw monitor.
#include "link/UdevDeviceMonitor.h"

#include <libudev.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "link/InterfaceName.h"

UdevDeviceMonitor::~UdevDeviceMonitor() {
    if (m_monitor) udev_monitor_unref(m_monitor);
    if (m_udev) udev_unref(m_udev);
}

bool UdevDeviceMonitor::Start() {
    if (m_monitor) return true;
    m_udev = udev_new();
    if (!m_udev) return false;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        if (m_monitor) udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
        return false;
    }
    RememberExisting();
    return true;
}

int UdevDeviceMonitor::Fd() const {
    return m_monitor ? udev_monitor_get_fd(m_monitor) : -1;
}

std::string UdevDeviceMonitor::NameOf(udev_device* device) {
    const char* node = udev_device_get_devnode(device);
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr);
    const char* hidId = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
    unsigned bus = 0, vendor = 0, product = 0;
    if (!node || !hidId || std::sscanf(hidId, "%x:%x:%x", &bus, &vendor, &product) != 3) return {};
    int interfaceNumber = -1;
    if (udev_device* usbInterface =
            udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_interface"))
        if (const char* number = udev_device_get_sysattr_value(usbInterface, "bInterfaceNumber"))
            interfaceNumber = static_cast<int>(std::strtol(number, nullptr, 16));
    // Bluetooth LE keyboards come through uhid; they are the HID-over-GATT ones.
    constexpr unsigned kBusBluetooth = 0x0005;
    const char* sysPath = udev_device_get_syspath(device);
    const bool gatt = bus == kBusBluetooth && sysPath && std::strstr(sysPath, "/uhid/");
    return MakeInterfaceName(static_cast<uint16_t>(vendor), static_cast<uint16_t>(product), interfaceNumber,
                             node, gatt);
}

void UdevDeviceMonitor::RememberExisting() {
    udev_enumerate* e = udev_enumerate_new(m_udev);
    if (!e) return;
    udev_enumerate_add_match_subsystem(e, "hidraw");
    udev_enumerate_scan_devices(e);
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e)) {
        udev_device* device = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
        if (!device) continue;
        const std::string name = NameOf(device);
        if (const char* node = udev_device_get_devnode(device); node && !name.empty()) m_names[node] = name;
        udev_device_unref(device);
    }
    udev_enumerate_unref(e);
}

std::vector<DeviceEvent> UdevDeviceMonitor::ReadEvents() {
    std::vector<DeviceEvent> events;
    if (!m_monitor) return events;
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        if (action && node) {
            if (std::strcmp(action, "add") == 0) {
                std::string name = NameOf(device);
                if (!name.empty()) {
                    m_names[node] = name;
                    events.push_back({kDeviceArrival, kBroadcastDeviceInterface, std::move(name)});
                }
            } else if (std::strcmp(action, "remove") == 0) {
                const auto it = m_names.find(node);
                if (it != m_names.end()) {
                    events.push_back({kDeviceRemoveComplete, kBroadcastDeviceInterface, it->second});
                    m_names.erase(it);
                }
            }
        }
        udev_device_unref(device);
    }
    return events;
}
