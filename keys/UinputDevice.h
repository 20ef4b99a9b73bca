// The kernel side of the virtual device and of the key filter's clones: uinput devices made
// with libevdev. Everything above writes plain input_event structs to Fd().
#pragma once

#include <memory>
#include <string>

struct libevdev;
struct libevdev_uinput;

class UinputDevice {
public:
    static constexpr int kVendorId = 0xDEED;
    static constexpr int kProductId = 0xFEED;

    ~UinputDevice();
    UinputDevice(const UinputDevice&) = delete;
    UinputDevice& operator=(const UinputDevice&) = delete;

    // The virtual device: every key of the HID keyboard and consumer tables and five mouse
    // buttons. Null with `error` set when /dev/uinput cannot be opened or the device not created.
    static std::unique_ptr<UinputDevice> CreateVirtual(std::string& error);
    // A device with the name, ids and capabilities of the evdev node open on `sourceFd`.
    static std::unique_ptr<UinputDevice> CreateClone(int sourceFd, std::string& error);

    // Descriptor to write input_event structs to.
    int Fd() const;
    // The /dev/input/event* node of the created device, empty when unknown.
    std::string DevNode() const;

private:
    explicit UinputDevice(libevdev_uinput* device);
    static std::unique_ptr<UinputDevice> Create(libevdev* description, std::string& error);

    libevdev_uinput* m_device = nullptr;
};
