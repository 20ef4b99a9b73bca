// The HID seam: the few calls the device link makes, implemented over hidapi and over the emulator.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

enum class HidBus { Unknown, Usb, Bluetooth, I2c, Spi };

// One HID top-level collection as the system lists it.
struct HidDeviceInfo {
    std::string path; // what OpenPath takes
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t releaseNumber = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    std::string productString; // UTF-8; empty when the device reports none
    int interfaceNumber = -1;  // USB interface number, -1 when not a USB device
    HidBus bus = HidBus::Unknown;
};

// An open HID interface; destroying it closes it. Calls on one object must not overlap.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    // Writes a feature report whose byte 0 is the report ID; bytes written or -1.
    virtual int SendFeatureReport(std::span<const uint8_t> report) = 0;
    // Reads the feature report named by report[0] into report; bytes read (report ID included) or -1.
    virtual int GetFeatureReport(std::span<uint8_t> report) = 0;
    // Writes an output report whose byte 0 is the report ID; bytes written or -1.
    virtual int Write(std::span<const uint8_t> report) = 0;
    // Text of the last failure on this interface.
    virtual std::string LastError() const = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // Prepares the backend; false when HID access is unavailable (enumeration then yields nothing).
    virtual bool Init() = 0;
    // Every HID collection of the system.
    virtual std::vector<HidDeviceInfo> Enumerate() = 0;
    // Opens the interface at `path`; null on failure.
    virtual std::unique_ptr<HidDevice> OpenPath(const std::string& path) = 0;
};
