// Uses the input device's id/vendor and id/product attributes, which USB and Bluetooth
// keyboards both carry; the program's own uinput devices are recognised by name and skipped.
#include "keys/InputNodeFinder.h"

#include <libudev.h>

#include <cstdlib>
#include <cstring>

namespace {

int HexAttribute(udev_device* device, const char* name)
{
    const char* text = udev_device_get_sysattr_value(device, name);
    return text ? static_cast<int>(std::strtol(text, nullptr, 16)) : -1;
}

bool IsOwnDevice(udev_device* input)
{
    const char* name = udev_device_get_sysattr_value(input, "name");
    return name != nullptr && std::strstr(name, "Molvane") != nullptr;
}

} // namespace

std::vector<std::string> InputNodeFinder::FindKeyNodes(int vendorId, int productId)
{
    return Find(vendorId, productId, false);
}

std::vector<std::string> InputNodeFinder::FindAllKeyboards()
{
    return Find(0, 0, true);
}

std::vector<std::string> InputNodeFinder::Find(int vendorId, int productId, bool anyKeyboard)
{
    std::vector<std::string> nodes;
    udev* context = udev_new();
    if (context == nullptr)
        return nodes;
    udev_enumerate* enumerate = udev_enumerate_new(context);
    udev_enumerate_add_match_subsystem(enumerate, "input");
    udev_enumerate_add_match_sysname(enumerate, "event*");
    udev_enumerate_add_match_property(enumerate, anyKeyboard ? "ID_INPUT_KEYBOARD" : "ID_INPUT_KEY", "1");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device* device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (device == nullptr)
            continue;
        udev_device* input = udev_device_get_parent_with_subsystem_devtype(device, "input", nullptr);
        const char* node = udev_device_get_devnode(device);
        bool match = input != nullptr && node != nullptr && !IsOwnDevice(input) &&
            (anyKeyboard ||
             (HexAttribute(input, "id/vendor") == vendorId && HexAttribute(input, "id/product") == productId));
        if (match)
            nodes.emplace_back(node);
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    udev_unref(context);
    return nodes;
}
