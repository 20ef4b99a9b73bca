// hidapi (hidraw) implementation of the HID seam.
#include "link/HidapiBackend.h"

#include "markup/MarkupText.h"

#include <hidapi.h>

#include <cwchar>

namespace {

// hidapi hands out wide strings; the program keeps UTF-8.
std::string ToUtf8(const wchar_t* text) {
    std::string out;
    if (text == nullptr) return out;
    for (; *text != L'\0'; ++text) AppendUtf8(out, static_cast<uint32_t>(*text));
    return out;
}

HidBus ToBus(hid_bus_type bus) {
    switch (bus) {
    case HID_API_BUS_USB:
        return HidBus::Usb;
    case HID_API_BUS_BLUETOOTH:
        return HidBus::Bluetooth;
    case HID_API_BUS_I2C:
        return HidBus::I2c;
    case HID_API_BUS_SPI:
        return HidBus::Spi;
    default:
        return HidBus::Unknown;
    }
}

class HidapiDevice final : public HidDevice {
public:
    explicit HidapiDevice(hid_device* device) : m_device(device) {}
    ~HidapiDevice() override { hid_close(m_device); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    int SendFeatureReport(std::span<const uint8_t> report) override {
        return hid_send_feature_report(m_device, report.data(), report.size());
    }
    int GetFeatureReport(std::span<uint8_t> report) override {
        return hid_get_feature_report(m_device, report.data(), report.size());
    }
    int Write(std::span<const uint8_t> report) override {
        return hid_write(m_device, report.data(), report.size());
    }
    std::string LastError() const override { return ToUtf8(hid_error(m_device)); }

private:
    hid_device* m_device;
};

} // namespace

HidapiBackend::~HidapiBackend() {
    if (m_initialised) hid_exit();
}

bool HidapiBackend::Init() {
    if (!m_initialised) m_initialised = hid_init() == 0;
    return m_initialised;
}

std::vector<HidDeviceInfo> HidapiBackend::Enumerate() {
    std::vector<HidDeviceInfo> list;
    if (!Init()) return list;
    hid_device_info* head = hid_enumerate(0, 0);
    for (const hid_device_info* d = head; d != nullptr; d = d->next) {
        HidDeviceInfo info;
        info.path = d->path != nullptr ? d->path : "";
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        info.releaseNumber = d->release_number;
        info.usagePage = d->usage_page;
        info.usage = d->usage;
        info.productString = ToUtf8(d->product_string);
        info.interfaceNumber = d->interface_number;
        info.bus = ToBus(d->bus_type);
        list.push_back(std::move(info));
    }
    hid_free_enumeration(head);
    return list;
}

std::unique_ptr<HidDevice> HidapiBackend::OpenPath(const std::string& path) {
    if (!Init()) return nullptr;
    hid_device* device = hid_open_path(path.c_str());
    if (device == nullptr) return nullptr;
    return std::make_unique<HidapiDevice>(device);
}
