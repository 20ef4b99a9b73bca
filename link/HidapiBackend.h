// The HID seam over hidapi's hidraw backend.
#pragma once

#include "link/HidBackend.h"

class HidapiBackend final : public HidBackend {
public:
    HidapiBackend() = default;
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    bool Init() override;
    std::vector<HidDeviceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> OpenPath(const std::string& path) override;

private:
    bool m_initialised = false;
};
