// Thin layer over libevdev-uinput; the only code that creates kernel input devices.
#include "keys/UinputDevice.h"

#include "keys/KeyTables.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>

#include <cstring>

std::unique_ptr<UinputDevice> UinputDevice::Create(libevdev* description, std::string& error)
{
    libevdev_uinput* device = nullptr;
    int rc = libevdev_uinput_create_from_device(description, LIBEVDEV_UINPUT_OPEN_MANAGED, &device);
    if (rc != 0) {
        error = std::string("cannot create a device through /dev/uinput: ") + std::strerror(-rc);
        return nullptr;
    }
    return std::unique_ptr<UinputDevice>(new UinputDevice(device));
}

std::unique_ptr<UinputDevice> UinputDevice::CreateVirtual(std::string& error)
{
    libevdev* description = libevdev_new();
    if (description == nullptr) {
        error = "out of memory";
        return nullptr;
    }
    libevdev_set_name(description, "Molvane virtual keyboard");
    libevdev_set_id_bustype(description, BUS_VIRTUAL);
    libevdev_set_id_vendor(description, kVendorId);
    libevdev_set_id_product(description, kProductId);
    libevdev_enable_event_type(description, EV_KEY);
    for (int usage = 0; usage < 256; ++usage)
        if (int code = HidUsageToEvdev(usage))
            libevdev_enable_event_code(description, EV_KEY, static_cast<unsigned>(code), nullptr);
    for (int usage = 0; usage < 0x400; ++usage)
        if (int code = ConsumerUsageToEvdev(usage))
            libevdev_enable_event_code(description, EV_KEY, static_cast<unsigned>(code), nullptr);
    for (int bit = 0; bit < 5; ++bit)
        libevdev_enable_event_code(description, EV_KEY, static_cast<unsigned>(MouseReportBitToEvdev(bit)), nullptr);
    // Relative axes make desktops treat the buttons as a pointer's; they are never moved.
    libevdev_enable_event_type(description, EV_REL);
    libevdev_enable_event_code(description, EV_REL, REL_X, nullptr);
    libevdev_enable_event_code(description, EV_REL, REL_Y, nullptr);
    auto device = Create(description, error);
    libevdev_free(description);
    return device;
}

std::unique_ptr<UinputDevice> UinputDevice::CreateClone(int sourceFd, std::string& error)
{
    libevdev* description = nullptr;
    int rc = libevdev_new_from_fd(sourceFd, &description);
    if (rc != 0) {
        error = std::string("cannot read the keyboard's capabilities: ") + std::strerror(-rc);
        return nullptr;
    }
    std::string name = std::string(libevdev_get_name(description)) + " (Molvane)";
    libevdev_set_name(description, name.c_str());
    // The keyboard's own repeats are passed through; a second, kernel-made repeat would double them.
    libevdev_disable_event_type(description, EV_REP);
    auto device = Create(description, error);
    libevdev_free(description);
    return device;
}

UinputDevice::UinputDevice(libevdev_uinput* device) : m_device(device) {}

UinputDevice::~UinputDevice()
{
    if (m_device != nullptr)
        libevdev_uinput_destroy(m_device);
}

int UinputDevice::Fd() const
{
    return libevdev_uinput_get_fd(m_device);
}

std::string UinputDevice::DevNode() const
{
    const char* node = libevdev_uinput_get_devnode(m_device);
    return node ? node : "";
}
