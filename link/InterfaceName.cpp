// Interface name building shared by enumeration and the hot-plug monitors.
#include "link/InterfaceName.h"

#include <cstdio>

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string MakeInterfaceName(uint16_t vendorId, uint16_t productId, int interfaceNumber,
                              std::string_view path, bool gattService) {
    char head[48];
    if (interfaceNumber >= 0 && interfaceNumber <= 0xFF)
        std::snprintf(head, sizeof head, "HID#VID_%04X&PID_%04X&MI_%02X#", vendorId, productId,
                      interfaceNumber);
    else
        std::snprintf(head, sizeof head, "HID#VID_%04X&PID_%04X#", vendorId, productId);
    std::string name = head + ToUpperAscii(path);
    if (gattService) name += "#{" + std::string(kGattHidServiceId) + "}";
    return name;
}

std::string MakeInterfaceName(const HidDeviceInfo& info) {
    return MakeInterfaceName(info.vendorId, info.productId, info.interfaceNumber, info.path);
}
