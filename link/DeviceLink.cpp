// Discovery of the keyboard's configuration interfaces and the report-level primitives.
#include "link/DeviceLink.h"

#include "device/DeviceCatalogue.h"

#include "link/HidTrace.h"
#include "link/HidapiBackend.h"
#include "link/InterfaceName.h"

using namespace std::chrono_literals;

namespace {

constexpr auto kFeaturePause = 16ms;
constexpr auto kWrite64RetryPause = 32ms;
constexpr auto kWriteReportRetryPause = 10ms;
constexpr std::string_view kAuxiliaryMarker = "&MI_03";

bool IsVendorCollection(uint16_t usagePage, uint16_t usage) {
    return (usagePage == 0xFF02 && usage == 2) || (usagePage == 0xFF01 && usage == 1);
}

bool CatalogueAccepts(const LinkModeEntry& e, const HidDeviceInfo& info) {
    return e.vendorId == info.vendorId && e.productId == info.productId &&
           (e.productName.empty() || e.productName == info.productString);
}

} // namespace

struct DeviceLink::OpenInterface {
    LinkInterfaceInfo info;
    std::unique_ptr<HidDevice> device;
};

DeviceLink& DeviceLink::Instance() {
    static DeviceLink link;
    return link;
}

DeviceLink::DeviceLink(std::unique_ptr<HidBackend> backend, PacingClock* clock)
    : m_backend(backend ? std::move(backend) : std::make_unique<HidapiBackend>()),
      m_clock(clock ? clock : &SteadyPacingClock::Shared()), m_trace(HidTrace::FromEnvironment()) {
    m_backend->Init();
}

DeviceLink::~DeviceLink() {
    std::lock_guard lock(m_mutex);
    CloseAllLocked();
}

void DeviceLink::SetBackend(std::unique_ptr<HidBackend> backend) {
    std::lock_guard lock(m_mutex);
    CloseAllLocked();
    m_backend = backend ? std::move(backend) : std::make_unique<HidapiBackend>();
    m_backend->Init();
}

void DeviceLink::SetPacingClock(PacingClock* clock) {
    std::lock_guard lock(m_mutex);
    m_clock = clock ? clock : &SteadyPacingClock::Shared();
}

void DeviceLink::SetTrace(std::shared_ptr<HidTrace> trace) {
    std::lock_guard lock(m_mutex);
    m_trace = std::move(trace);
}

void DeviceLink::AddCatalogueEntry(int vendorId, int productId, const std::string& productName,
                                   int deviceType, int modeValue, const std::string& interfacePattern) {
    std::lock_guard lock(m_mutex);
    m_catalogue.push_back({vendorId, productId, productName, deviceType, modeValue, interfacePattern});
}

void DeviceLink::AddCatalogueEntries(const std::vector<DeviceDescriptor>& modes) {
    std::lock_guard lock(m_mutex);
    for (const DeviceDescriptor& d : modes)
        m_catalogue.push_back(
            {d.m_vendorId, d.m_productId, d.m_name, d.m_deviceType, d.m_modeValue, d.m_interfacePattern});
}

void DeviceLink::ClearCatalogue() {
    std::lock_guard lock(m_mutex);
    m_catalogue.clear();
}

std::vector<LinkModeEntry> DeviceLink::Catalogue() const {
    std::lock_guard lock(m_mutex);
    return m_catalogue;
}

void DeviceLink::CloseAllLocked() {
    m_interfaces.clear();
    m_auxiliary.reset();
    m_current = -1;
    m_opened = false;
}

void DeviceLink::CloseAll() {
    std::lock_guard lock(m_mutex);
    CloseAllLocked();
}

int DeviceLink::Enumerate() {
    // The backend is only used under the lock: a send on another thread must never meet a handle
    // that is being closed or replaced.
    std::lock_guard lock(m_mutex);
    CloseAllLocked();
    for (const HidDeviceInfo& info : m_backend->Enumerate()) {
        const LinkModeEntry* accepted = nullptr;
        for (const LinkModeEntry& e : m_catalogue)
            if (CatalogueAccepts(e, info)) {
                accepted = &e;
                break;
            }
        if (accepted == nullptr || !IsVendorCollection(info.usagePage, info.usage)) continue;
        std::unique_ptr<HidDevice> device = m_backend->OpenPath(info.path);
        if (!device) continue;
        const std::string name = MakeInterfaceName(info);
        if (name.find(kAuxiliaryMarker) != std::string::npos) {
            m_auxiliary = std::move(device); // the one it replaces is closed
            continue;
        }
        auto open = std::make_unique<OpenInterface>();
        LinkInterfaceInfo& li = open->info;
        li.index = static_cast<int>(m_interfaces.size());
        li.vendorId = info.vendorId;
        li.productId = info.productId;
        li.path = info.path;
        li.interfaceName = name;
        li.productString = info.productString;
        li.releaseNumber = info.releaseNumber;
        for (const LinkModeEntry& e : m_catalogue)
            if (e.vendorId == info.vendorId && e.productId == info.productId) {
                li.deviceType = e.deviceType;
                li.modeValue = e.modeValue;
                break;
            }
        li.wired = li.modeValue == 0;
        open->device = std::move(device);
        m_interfaces.push_back(std::move(open));
    }
    m_opened = true;
    return static_cast<int>(m_interfaces.size());
}

bool DeviceLink::IsOpened() const {
    std::lock_guard lock(m_mutex);
    return m_opened;
}

void DeviceLink::SelectType(int deviceType) {
    std::lock_guard lock(m_mutex);
    m_selectedType = deviceType;
}

int DeviceLink::SelectedType() const {
    std::lock_guard lock(m_mutex);
    return m_selectedType;
}

void DeviceLink::ClearCurrent() {
    std::lock_guard lock(m_mutex);
    m_current = -1;
}

int DeviceLink::CountInterfaces(std::vector<LinkInterfaceInfo>* out) const {
    std::lock_guard lock(m_mutex);
    if (out) out->clear();
    int count = 0;
    for (const auto& i : m_interfaces)
        if (m_selectedType == 0 || i->info.deviceType == m_selectedType) {
            ++count;
            if (out) out->push_back(i->info);
        }
    return count;
}

int DeviceLink::ConnectionMode() const {
    std::lock_guard lock(m_mutex);
    bool has[3] = {false, false, false};
    for (const auto& i : m_interfaces)
        if (i->info.deviceType == m_selectedType && i->info.modeValue >= 0 && i->info.modeValue <= 2)
            has[i->info.modeValue] = true;
    if (has[0]) return 0;
    if (has[2]) return 2;
    if (has[1]) return 1;
    return -1;
}

int DeviceLink::FindInterface(int vendorId, int productId, const std::string& productName,
                              int modeValue) const {
    std::lock_guard lock(m_mutex);
    for (const auto& i : m_interfaces) {
        const LinkInterfaceInfo& li = i->info;
        if (li.vendorId != vendorId || li.productId != productId || li.modeValue != modeValue) continue;
        // The search ends at the first record with these ids, whether or not its name matches.
        return productName.empty() || productName == li.productString ? li.index : -1;
    }
    return -1;
}

HidDevice* DeviceLink::CurrentDeviceLocked() {
    if (m_current < 0) {
        for (int mode : {0, 1, 2}) {
            for (const auto& i : m_interfaces)
                if (i->info.deviceType == m_selectedType && i->info.modeValue == mode) {
                    m_current = i->info.index;
                    break;
                }
            if (m_current >= 0) break;
        }
    }
    return m_current >= 0 ? m_interfaces[m_current]->device.get() : nullptr;
}

int DeviceLink::Current() {
    std::lock_guard lock(m_mutex);
    return CurrentDeviceLocked() ? m_current : -1;
}

bool DeviceLink::HasAuxiliary() const {
    std::lock_guard lock(m_mutex);
    return m_auxiliary != nullptr;
}

std::string DeviceLink::LastError() const {
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

bool DeviceLink::Ready() {
    std::lock_guard lock(m_mutex);
    return m_opened && CurrentDeviceLocked() != nullptr;
}

DeviceLink::Attempt DeviceLink::SendFeatureLocked(const Report8& report) {
    HidDevice* device = m_opened ? CurrentDeviceLocked() : nullptr;
    if (device == nullptr) return Attempt::NoInterface;
    if (m_trace) m_trace->Log(TraceDirection::ToDevice, TraceKind::Feature, report);
    if (device->SendFeatureReport(report) > 0) return Attempt::Sent;
    m_lastError = device->LastError();
    return Attempt::Failed;
}

DeviceLink::Attempt DeviceLink::ReadFeatureLocked(Report8& buffer, int* length) {
    HidDevice* device = m_opened ? CurrentDeviceLocked() : nullptr;
    *length = -1;
    if (device == nullptr) return Attempt::NoInterface;
    buffer[0] = kCommandReportId;
    *length = device->GetFeatureReport(buffer);
    if (*length <= 0) {
        m_lastError = device->LastError();
        return Attempt::Failed;
    }
    if (m_trace)
        m_trace->Log(TraceDirection::FromDevice, TraceKind::Feature,
                     std::span<const uint8_t>(buffer.data(), std::min<size_t>(*length, buffer.size())));
    return Attempt::Sent;
}

DeviceLink::Attempt DeviceLink::WriteOutputLocked(const uint8_t* data, size_t size) {
    HidDevice* device = m_opened ? CurrentDeviceLocked() : nullptr;
    if (device == nullptr) return Attempt::NoInterface;
    if (m_trace)
        m_trace->Log(TraceDirection::ToDevice, TraceKind::Output, std::span<const uint8_t>(data, size));
    if (device->Write(std::span<const uint8_t>(data, size)) > 0) return Attempt::Sent;
    m_lastError = device->LastError();
    return Attempt::Failed;
}

bool DeviceLink::SetFeature8Delayed(const Report8& report) {
    if (!Ready()) return false;
    m_clock->Sleep(kFeaturePause);
    std::lock_guard lock(m_mutex);
    return SendFeatureLocked(report) == Attempt::Sent;
}

bool DeviceLink::SetFeature8(const Report8& report) {
    std::lock_guard lock(m_mutex);
    return SendFeatureLocked(report) == Attempt::Sent;
}

SlotTableRead DeviceLink::QueryTable(const Report8& request) {
    SlotTableRead result;
    {
        std::lock_guard lock(m_mutex);
        const Attempt a = SendFeatureLocked(request);
        if (a == Attempt::NoInterface) return result;
        result.sent = a == Attempt::Sent;
    }
    // Replies to a request the keyboard never got are not its slot table.
    result.complete = result.sent;
    Report8 buffer{};
    for (size_t chunk = 0; chunk < 4; ++chunk) {
        buffer[1] = request[1];
        buffer[2] = request[2];
        m_clock->Sleep(kFeaturePause);
        int length = -1;
        {
            std::lock_guard lock(m_mutex);
            ReadFeatureLocked(buffer, &length);
        }
        // A short reply would leave stale bytes in the chunk: the whole table is then unknown.
        if (length < static_cast<int>(buffer.size())) {
            result.complete = false;
            continue;
        }
        std::copy(buffer.begin() + 1, buffer.end(), result.bytes.begin() + chunk * 7);
    }
    return result;
}

bool DeviceLink::Write64(const Report64& payload) {
    std::array<uint8_t, 65> report{};
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 1) m_clock->Sleep(kWrite64RetryPause);
        std::lock_guard lock(m_mutex);
        const Attempt a = WriteOutputLocked(report.data(), report.size());
        if (a == Attempt::Sent) return true;
        if (a == Attempt::NoInterface) return false;
    }
    return false;
}

bool DeviceLink::WriteReport(const Report65& report) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 1) m_clock->Sleep(kWriteReportRetryPause);
        std::lock_guard lock(m_mutex);
        const Attempt a = WriteOutputLocked(report.data(), report.size());
        if (a == Attempt::Sent) return true;
        if (a == Attempt::NoInterface) return false;
    }
    return false;
}

std::optional<Report8> DeviceLink::ReadFeatureReply(const Report8& request) {
    if (!Ready()) return std::nullopt;
    m_clock->Sleep(kFeaturePause);
    {
        std::lock_guard lock(m_mutex);
        if (SendFeatureLocked(request) != Attempt::Sent) return std::nullopt;
    }
    Report8 buffer = request;
    int length = -1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        m_clock->Sleep(kFeaturePause);
        std::lock_guard lock(m_mutex);
        ReadFeatureLocked(buffer, &length);
        if (length > 0 && buffer[0] == kCommandReportId) break;
    }
    // Without a reply the buffer still holds the request; never pass that off as an answer.
    if (length < 3 || buffer[0] != kCommandReportId) return std::nullopt;
    return buffer;
}
