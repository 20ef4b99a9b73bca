// The interface names that catalogue patterns ("&MI_02", "&MI_03") are matched against.
#pragma once

#include <string>
#include <string_view>

#include "link/HidBackend.h"

// The Bluetooth HID-over-GATT service; arrivals naming it never trigger a rescan.
inline constexpr std::string_view kGattHidServiceId = "00001812-0000-1000-8000-00805F9B34FB";

// "HID#VID_%04X&PID_%04X&MI_%02X#<PATH>" in upper case. The "&MI_" part is left out for
// interfaces without a USB interface number; `gattService` appends the GATT service id in braces.
std::string MakeInterfaceName(uint16_t vendorId, uint16_t productId, int interfaceNumber,
                              std::string_view path, bool gattService = false);
std::string MakeInterfaceName(const HidDeviceInfo& info);

// ASCII upper case; the names and patterns are compared case-sensitively after this.
std::string ToUpperAscii(std::string_view text);
