// A source of HID arrival and removal events whose fd a loop can watch.
#pragma once

#include <string>
#include <vector>

inline constexpr int kDeviceArrival = 0x8000;
inline constexpr int kDeviceRemoveComplete = 0x8004;
inline constexpr int kBroadcastDeviceInterface = 5;

struct DeviceEvent {
    int eventCode = 0; // kDeviceArrival or kDeviceRemoveComplete
    int broadcastType = kBroadcastDeviceInterface;
    std::string interfaceName; // see InterfaceName.h
};

class DeviceEventSource {
public:
    virtual ~DeviceEventSource() = default;
    // Readable when events are waiting; -1 when the source is not running.
    virtual int Fd() const = 0;
    // Every event waiting now; never blocks.
    virtual std::vector<DeviceEvent> ReadEvents() = 0;
};
