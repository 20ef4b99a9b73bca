// The one operation through which report blocks reach the virtual device.
#pragma once

#include <cstddef>
#include <cstdint>

class IVHidevProxy {
public:
    virtual ~IVHidevProxy() = default;
    // Sends `length` bytes of report `reportId` (0 = no report ID); false when nothing was written.
    virtual bool Send(const uint8_t* data, std::size_t length, uint8_t reportId) = 0;
};
