// The process-wide owner of the keyboard's open configuration interfaces and the report primitives.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/HidBackend.h"
#include "link/PacingClock.h"
#include "link/ReportTypes.h"

class HidTrace;
struct DeviceDescriptor;

// One connection mode of a keyboard model, copied from the device catalogue.
struct LinkModeEntry {
    int vendorId = 0;
    int productId = 0;
    std::string productName; // empty matches any product string
    int deviceType = 0;
    int modeValue = 0;
    std::string interfacePattern;
};

// What is known of one open configuration interface.
struct LinkInterfaceInfo {
    int index = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string path;
    std::string interfaceName; // upper case, see InterfaceName.h
    std::string productString;
    uint16_t releaseNumber = 0;
    int deviceType = 0;
    int modeValue = 0;
    bool wired = false; // mode value 0
};

// The slot table as read: `complete` is false when any of the four reads failed or came back short.
struct SlotTableRead {
    bool sent = false;
    bool complete = false;
    SlotTableBytes bytes{};
};

class DeviceLink {
public:
    static constexpr int kKeyboardDeviceType = 201;

    // The process-wide link over hidapi; MOLVANE_HID_TRACE is honoured. Creation is thread-safe.
    static DeviceLink& Instance();

    // A link over `backend` (null: hidapi) paced by `clock` (null: real time).
    explicit DeviceLink(std::unique_ptr<HidBackend> backend = nullptr, PacingClock* clock = nullptr);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Replaces the HID backend (e.g. with the keyboard emulator); closes every open interface first.
    void SetBackend(std::unique_ptr<HidBackend> backend);
    // Set before any send starts; the pauses read it without the lock.
    void SetPacingClock(PacingClock* clock);
    PacingClock& Clock() const { return *m_clock; }
    void SetTrace(std::shared_ptr<HidTrace> trace);

    // Catalogue entries, one per connection mode of every model, in catalogue order.
    void AddCatalogueEntry(int vendorId, int productId, const std::string& productName, int deviceType,
                           int modeValue, const std::string& interfacePattern);
    // The same for every record of the catalogue's mode list.
    void AddCatalogueEntries(const std::vector<DeviceDescriptor>& modes);
    void ClearCatalogue();
    std::vector<LinkModeEntry> Catalogue() const;

    // Closes every interface and the auxiliary handle; the link is no longer opened.
    void CloseAll();
    // Rebuilds the interface list from the system's HID interfaces; marks the link opened.
    // Returns the number of configuration interfaces found.
    int Enumerate();
    bool IsOpened() const;

    void SelectType(int deviceType);
    int SelectedType() const;
    void ClearCurrent();
    // Copies the interfaces of the selected type (all of them when the selected type is 0).
    int CountInterfaces(std::vector<LinkInterfaceInfo>* out = nullptr) const;
    // 0 if an interface of the selected type has mode 0, else 2, else 1, else -1.
    int ConnectionMode() const;
    // Index of the first interface with equal ids and mode whose product string equals `productName`
    // (any when empty); -1 otherwise.
    int FindInterface(int vendorId, int productId, const std::string& productName, int modeValue) const;
    // Index of the interface the primitives talk to (mode 0, else 1, else 2 of the selected type); -1 for
    // none.
    int Current();
    bool HasAuxiliary() const;
    // True when the link is opened and has an interface to talk to.
    bool Ready();

    // Feature report after the protocol's 16 ms pause; true when written.
    bool SetFeature8Delayed(const Report8& report);
    // Feature report at once (the music level); true when written.
    bool SetFeature8(const Report8& report);
    // Writes `request`, then reads four 7-byte chunks with a 16 ms pause before each.
    SlotTableRead QueryTable(const Report8& request);
    // Output report: report ID 0 and the 64 bytes; one retry after 32 ms.
    bool Write64(const Report64& payload);
    // Output report built by the caller (byte 0 = report ID); one retry after 10 ms.
    bool WriteReport(const Report65& report);
    // Writes `request` after 16 ms and reads the reply after another 16 ms (once more when its report ID
    // is wrong). The reply's 8 bytes, or nothing when the write or the reads failed.
    std::optional<Report8> ReadFeatureReply(const Report8& request);

    // The failure text of the last failed write or read.
    std::string LastError() const;

private:
    struct OpenInterface;
    enum class Attempt { Sent, Failed, NoInterface };

    HidDevice* CurrentDeviceLocked();
    Attempt SendFeatureLocked(const Report8& report);
    Attempt ReadFeatureLocked(Report8& buffer, int* length);
    Attempt WriteOutputLocked(const uint8_t* data, size_t size);
    void CloseAllLocked();

    mutable std::mutex m_mutex; // guards everything below; held for one HID call, never across a pause
    std::unique_ptr<HidBackend> m_backend;
    PacingClock* m_clock;
    std::shared_ptr<HidTrace> m_trace;
    std::vector<LinkModeEntry> m_catalogue;
    std::vector<std::unique_ptr<OpenInterface>> m_interfaces;
    std::unique_ptr<HidDevice> m_auxiliary;
    bool m_opened = false;
    int m_selectedType = 0;
    int m_current = -1;
    std::string m_lastError;
};
