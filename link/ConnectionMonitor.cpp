// Arrival/removal handling and the rescan that re-evaluates the connected keyboard.
#include "link/ConnectionMonitor.h"

#include "link/DeviceLink.h"
#include "link/InterfaceName.h"

ConnectionMonitor::ConnectionMonitor(DeviceLink& link, ConnectionClient& client)
    : m_link(link), m_client(client) {}

bool ConnectionMonitor::IsGattService(const std::string& upperName) {
    return upperName.find(kGattHidServiceId) != std::string::npos;
}

void ConnectionMonitor::OnDeviceChange(int eventCode, int broadcastType, const std::string& interfaceName) {
    if (broadcastType != kBroadcastDeviceInterface ||
        (eventCode != kDeviceArrival && eventCode != kDeviceRemoveComplete))
        return;
    const std::string name = ToUpperAscii(interfaceName);
    // Bluetooth LE keyboards are reached through their other interfaces, never this one.
    if (IsGattService(name)) return;
    const std::vector<LinkModeEntry> entries = m_link.Catalogue();
    int job = 0;
    {
        std::lock_guard lock(m_mutex);
        m_state.entryConnected.resize(entries.size(), false);
        for (size_t i = 0; i < entries.size(); ++i) {
            const LinkModeEntry& e = entries[i];
            if (e.interfacePattern.empty() || name.find(e.interfacePattern) == std::string::npos) continue;
            if (eventCode == kDeviceArrival) {
                m_state.pendingValue = e.deviceType;
                m_state.pendingEvent = PendingDeviceEvent::Arrival;
                job = kJobRescanOnArrival;
                break;
            }
            if (!m_state.entryConnected[i]) continue; // removal of an entry that was never connected
            m_state.entryConnected[i] = false;
            m_state.pendingValue = e.modeValue;
            m_state.pendingEvent = PendingDeviceEvent::Removal;
            job = kJobRescanOnRemoval;
            break;
        }
    }
    if (job != 0) m_client.QueueJob(job);
}

void ConnectionMonitor::Dispatch(DeviceEventSource& source) {
    for (const DeviceEvent& e : source.ReadEvents())
        OnDeviceChange(e.eventCode, e.broadcastType, e.interfaceName);
}

void ConnectionMonitor::Refresh() {
    m_client.CloseAllPopups();
    m_link.CloseAll();
    m_link.Enumerate();
    m_link.SelectType(0);
    m_link.ClearCurrent();
    const bool present = m_link.CountInterfaces() > 0;

    const std::vector<LinkModeEntry> entries = m_link.Catalogue();
    std::vector<bool> found(entries.size(), false);
    bool listed = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        const LinkModeEntry& e = entries[i];
        if (m_link.FindInterface(e.vendorId, e.productId, e.productName, e.modeValue) >= 0)
            found[i] = listed = true;
    }
    int mode = -1;
    if (present) {
        m_link.SelectType(DeviceLink::kKeyboardDeviceType);
        m_link.ClearCurrent();
        mode = m_link.ConnectionMode();
    }

    ConnectionState state;
    {
        std::lock_guard lock(m_mutex);
        m_state.entryConnected.resize(entries.size(), false);
        for (size_t i = 0; i < entries.size(); ++i)
            if (found[i]) m_state.entryConnected[i] = true;
        m_state.interfacesPresent = present;
        m_state.listedKeyboard = listed;
        m_state.connectionMode = mode;
        m_state.pendingEvent = PendingDeviceEvent::None;
        m_state.pendingValue = 0;
        m_state.firstScanDone = true;
        state = m_state;
    }
    const bool usable = present && (mode == 0 || mode == -1 || listed);

    m_client.ResetAllDeviceStates();
    for (size_t i = 0; i < entries.size(); ++i)
        if (state.entryConnected[i]) m_client.SetDeviceState(entries[i].deviceType, 1);
    m_client.ShowConnection(state, usable);
    if (usable) {
        m_client.QueueJob(kJobCheckFirmware);
        m_client.QueueJob(kJobReadDevice);
    }
}

ConnectionState ConnectionMonitor::State() const {
    std::lock_guard lock(m_mutex);
    return m_state;
}

bool ConnectionMonitor::Usable() const {
    std::lock_guard lock(m_mutex);
    const int mode = m_state.connectionMode;
    return m_state.interfacesPresent && (mode == 0 || mode == -1 || m_state.listedKeyboard);
}
