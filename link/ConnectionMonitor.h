// Keeps the program's knowledge of the connected keyboard and its connection mode current.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "link/DeviceEventSource.h"

class DeviceLink;

// Job codes the monitor queues on the controller's worker.
inline constexpr int kJobRescanOnArrival = 2;
inline constexpr int kJobRescanOnRemoval = 3;
inline constexpr int kJobReadDevice = 5;
inline constexpr int kJobCheckFirmware = 13;

enum class PendingDeviceEvent { None = 0, Arrival = 1, Removal = 2 };

// The controller state the monitor writes.
struct ConnectionState {
    bool interfacesPresent = false;
    bool listedKeyboard = false;
    int connectionMode = -1;
    PendingDeviceEvent pendingEvent = PendingDeviceEvent::None;
    int pendingValue = 0;             // device type on arrival, mode value on removal
    std::vector<bool> entryConnected; // one per catalogue mode entry of the link
    bool firstScanDone = false;
    // The worker runs device jobs (codes 4 and higher) only while this holds.
    bool AllowsDeviceJobs() const { return interfacesPresent && listedKeyboard; }
};

// What the monitor asks of the main window; everything but QueueJob must be forwarded to the UI thread.
class ConnectionClient {
public:
    virtual ~ConnectionClient() = default;
    // Appends a job to the worker's queue; called from the UI and the worker thread.
    virtual void QueueJob(int jobCode) = 0;
    virtual void CloseAllPopups() = 0;
    // Device selector: every model back to "not connected", then each connected model's type.
    virtual void ResetAllDeviceStates() = 0;
    virtual void SetDeviceState(int deviceType, int state) = 0;
    // Status text (with or without a keyboard), tab strip and pages.
    virtual void ShowConnection(const ConnectionState& state, bool usable) = 0;
};

class ConnectionMonitor {
public:
    ConnectionMonitor(DeviceLink& link, ConnectionClient& client);

    // A device-change notice (event code, broadcast type, interface name): queues a rescan when the name
    // matches a catalogue entry's pattern.
    void OnDeviceChange(int eventCode, int broadcastType, const std::string& interfaceName);
    // Hands every waiting event of `source` to OnDeviceChange; for the loop watching the source's fd.
    void Dispatch(DeviceEventSource& source);
    // The rescan (worker thread): rebuilds the link's interfaces and evaluates them.
    void Refresh();

    ConnectionState State() const;
    // Usable: interfaces present and either mode 0 (or unknown) or a listed keyboard.
    bool Usable() const;

private:
    static bool IsGattService(const std::string& upperName);

    DeviceLink& m_link;
    ConnectionClient& m_client;
    mutable std::mutex m_mutex; // guards m_state; never held while calling out
    ConnectionState m_state;
};
