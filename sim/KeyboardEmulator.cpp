// Keyboard emulator: answers the command protocol as the firmware does and keeps what it was sent.
#include "sim/KeyboardEmulator.h"

#include <algorithm>
#include <mutex>

#include "link/InterfaceName.h"

namespace {

constexpr uint8_t kWirelessMagic[4] = {0xBB, 0xAA, 0x99, 0x88};

enum class Role { Keyboard, Vendor, Auxiliary };
enum class PendingRead { None, SlotTable, Version };

struct Collection {
    std::string path;
    uint16_t usagePage;
    uint16_t usage;
    int interfaceNumber;
    Role role;
};

std::vector<Collection> CollectionsOf(const EmulatedMode& mode) {
    const std::string base = "sim/kbd-mode" + std::to_string(mode.modeValue);
    if (mode.bus == HidBus::Bluetooth) {
        // One node carries both collections, as a Bluetooth keyboard's hidraw node does.
        return {{base + "/bt", 0x0001, 0x0006, -1, Role::Keyboard},
                {base + "/bt", 0xFF02, 0x0002, -1, Role::Vendor}};
    }
    return {{base + "/if0", 0x0001, 0x0006, 0, Role::Keyboard},
            {base + "/if2", 0xFF02, 0x0002, 2, Role::Vendor},
            {base + "/if3", 0xFF01, 0x0001, 3, Role::Auxiliary}};
}

} // namespace

class KeyboardEmulator::Core {
public:
    Core(std::vector<EmulatedMode> modes, PacingClock* clock)
        : m_modes(std::move(modes)), m_clock(clock ? clock : &SteadyPacingClock::Shared()) {}

    mutable std::mutex mutex;
    std::vector<EmulatedMode> m_modes;
    PacingClock* m_clock;
    int m_plugged = -1;        // index into m_modes
    unsigned m_generation = 0; // bumped by every unplug; older handles are dead
    EmulatorState m_state;
    uint16_t m_version = 0x0102;
    PendingRead m_pending = PendingRead::None;
    int m_tableChunk = 0;
    MacroBlock m_assembly{};
    int m_nextPacket = -1; // -1: no macro slot being assembled
    int m_failWrites = 0;
    int m_shortReads = 0;
    int m_shortLength = 0;
    std::function<void(bool, const std::string&)> m_listener;

    std::vector<HidDeviceInfo> EnumerateLocked() const {
        std::vector<HidDeviceInfo> list;
        if (m_plugged < 0) return list;
        const EmulatedMode& mode = m_modes[m_plugged];
        for (const Collection& c : CollectionsOf(mode)) {
            HidDeviceInfo info;
            info.path = c.path;
            info.vendorId = mode.vendorId;
            info.productId = mode.productId;
            info.releaseNumber = 0x0100;
            info.usagePage = c.usagePage;
            info.usage = c.usage;
            info.productString = mode.productString;
            info.interfaceNumber = c.interfaceNumber;
            info.bus = mode.bus;
            list.push_back(std::move(info));
        }
        return list;
    }

    std::vector<std::string> NamesLocked() const {
        std::vector<std::string> names;
        for (const HidDeviceInfo& info : EnumerateLocked()) {
            std::string name = MakeInterfaceName(info);
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
        }
        return names;
    }

    // A simulated session may run for hours with music levels streaming in; keep the recent history only.
    static constexpr size_t kHistoryLimit = 100000;

    template <typename T> static void Bound(std::vector<T>& list) {
        if (list.size() >= kHistoryLimit) list.erase(list.begin(), list.begin() + kHistoryLimit / 2);
    }

    void Log(EmulatedReport::Kind kind, std::span<const uint8_t> bytes) {
        Bound(m_state.log);
        m_state.log.push_back({m_clock->Now(), kind, std::vector<uint8_t>(bytes.begin(), bytes.end())});
    }

    void ResetFirmware() {
        const int resets = m_state.factoryResets + 1;
        const int rejected = m_state.rejectedReports;
        const int failed = m_state.failedWrites;
        std::vector<EmulatedReport> log = std::move(m_state.log);
        std::vector<EmulatedMusicLevel> levels = std::move(m_state.musicLevels);
        m_state = EmulatorState{};
        m_state.factoryResets = resets;
        m_state.rejectedReports = rejected;
        m_state.failedWrites = failed;
        m_state.log = std::move(log);
        m_state.musicLevels = std::move(levels);
        m_nextPacket = -1;
        m_pending = PendingRead::None;
    }

    void CommitMacroSlot() {
        const int slot = m_assembly[1];
        m_nextPacket = -1;
        if (m_assembly[0] != 1 || slot < 1 || slot > kMacroSlotCount) {
            ++m_state.rejectedReports;
            return;
        }
        EmulatedMacroSlot& s = m_state.macroSlots[slot - 1];
        s = EmulatedMacroSlot{};
        s.block = m_assembly;
        s.keyCode = m_assembly[2];
        s.repeatCount = m_assembly[3];
        for (size_t at = 4; at + 1 < m_assembly.size() && m_assembly[at] != 0; at += 2)
            s.events.emplace_back(m_assembly[at], m_assembly[at + 1]);
        m_state.slotTable[slot] = s.keyCode;
    }

    void OnFeature(const uint8_t* r) {
        switch (r[1]) {
        case 0xFB:
            m_pending = PendingRead::SlotTable;
            m_tableChunk = 0;
            return;
        case 0xFD:
            m_pending = PendingRead::Version;
            return;
        case 0xFA: {
            const int slot = r[3];
            if (slot < 1 || slot > kRemapSlotCount) {
                ++m_state.rejectedReports;
                return;
            }
            m_state.remapSlots[slot - 1] = {r[4], r[6]};
            m_state.slotTable[13 + slot] = r[4];
            return;
        }
        case 0xF1:
            m_assembly = MacroBlock{};
            std::copy_n(r + 2, 6, m_assembly.begin());
            m_nextPacket = 1;
            return;
        case 0x00:
            if (m_nextPacket < 1) {
                ++m_state.rejectedReports;
                return;
            }
            std::copy_n(r + 2, 6, m_assembly.begin() + 6 * m_nextPacket);
            if (++m_nextPacket == kMacroPacketCount) CommitMacroSlot();
            return;
        case 0xF7:
            m_state.featureEffect = std::array<uint8_t, 6>{r[2], r[3], r[4], r[5], r[6], r[7]};
            return;
        case 0xF0:
            if (r[2] == 0xAA)
                ResetFirmware();
            else
                ++m_state.rejectedReports;
            return;
        case 0x23:
            if (r[2] == 0x45 && r[3] == 0x67 && r[4] == 0x89) {
                Bound(m_state.musicLevels);
                m_state.musicLevels.push_back({r[5], r[6], r[7]});
            } else
                ++m_state.rejectedReports;
            return;
        default:
            ++m_state.rejectedReports;
        }
    }

    // `p` is the 64-byte payload after the report ID.
    void OnWireless(const uint8_t* p) {
        const bool allAa = std::all_of(p + 4, p + 10, [](uint8_t b) { return b == 0xAA; });
        const bool restZero = std::all_of(p + 4, p + 64, [](uint8_t b) { return b == 0; });
        if (allAa && std::all_of(p + 10, p + 64, [](uint8_t b) { return b == 0; })) {
            m_wirelessResetArmed = true;
        } else if (restZero) {
            if (m_wirelessResetArmed)
                ResetFirmware();
            else
                ++m_state.rejectedReports;
            m_wirelessResetArmed = false;
        } else if (p[4] == 0xAA) {
            m_state.wirelessEffect = std::array<uint8_t, 6>{p[5], p[6], p[7], p[8], p[9], p[10]};
        } else {
            ++m_state.rejectedReports;
        }
    }

    void OnColourReport(const uint8_t* r) {
        const int length = r[2];
        const int offset = r[3] | (r[4] << 8);
        if (length > 60 || offset + length > kColourTableSize) {
            ++m_state.rejectedReports;
            return;
        }
        std::copy_n(r + 5, length, m_state.colours.begin() + offset);
    }

    void OnOutput(std::span<const uint8_t> report) {
        if (report.size() == 65 && report[0] == 0 &&
            std::equal(kWirelessMagic, kWirelessMagic + 4, report.begin() + 1))
            OnWireless(report.data() + 1);
        else if (report.size() == 65 && report[0] == 0 && report[1] == 0x8B)
            OnColourReport(report.data());
        else
            ++m_state.rejectedReports;
    }

    int FillReply(std::span<uint8_t> buffer) {
        Report8 reply{};
        reply[0] = kCommandReportId;
        if (m_pending == PendingRead::SlotTable) {
            std::copy_n(m_state.slotTable.begin() + 7 * m_tableChunk, 7, reply.begin() + 1);
            if (++m_tableChunk == 4) m_pending = PendingRead::None;
        } else if (m_pending == PendingRead::Version) {
            reply[1] = static_cast<uint8_t>(m_version >> 8);
            reply[2] = static_cast<uint8_t>(m_version);
            m_pending = PendingRead::None;
        }
        int length = static_cast<int>(std::min(buffer.size(), reply.size()));
        if (m_shortReads > 0) {
            --m_shortReads;
            if (m_shortLength <= 0) return -1;
            length = std::min(length, m_shortLength);
        }
        std::copy_n(reply.begin(), length, buffer.begin());
        Log(EmulatedReport::Kind::FeatureRead, std::span<const uint8_t>(reply.data(), length));
        return length;
    }

    bool TakeWriteFailure() {
        if (m_failWrites == 0) return false;
        --m_failWrites;
        ++m_state.failedWrites;
        return true;
    }

    bool m_wirelessResetArmed = false;
};

namespace {

class EmulatedDevice final : public HidDevice {
public:
    EmulatedDevice(std::shared_ptr<KeyboardEmulator::Core> core, Role role, unsigned generation)
        : m_core(std::move(core)), m_role(role), m_generation(generation) {}

    int SendFeatureReport(std::span<const uint8_t> report) override {
        std::lock_guard lock(m_core->mutex);
        if (!Alive() || m_core->TakeWriteFailure()) return Fail("write failed");
        if (report.size() != 8 || report[0] != kCommandReportId) {
            ++m_core->m_state.rejectedReports;
            return Fail("unexpected feature report");
        }
        m_core->Log(EmulatedReport::Kind::FeatureWrite, report);
        if (m_role == Role::Vendor) m_core->OnFeature(report.data());
        return static_cast<int>(report.size());
    }

    int GetFeatureReport(std::span<uint8_t> report) override {
        std::lock_guard lock(m_core->mutex);
        if (!Alive()) return Fail("device disconnected");
        if (report.empty() || report[0] != kCommandReportId || m_role != Role::Vendor)
            return Fail("no such report");
        return m_core->FillReply(report);
    }

    int Write(std::span<const uint8_t> report) override {
        std::lock_guard lock(m_core->mutex);
        if (!Alive() || m_core->TakeWriteFailure()) return Fail("write failed");
        m_core->Log(EmulatedReport::Kind::OutputWrite, report);
        if (m_role == Role::Vendor) m_core->OnOutput(report);
        return static_cast<int>(report.size());
    }

    std::string LastError() const override {
        std::lock_guard lock(m_core->mutex);
        return m_error;
    }

private:
    bool Alive() const { return m_core->m_plugged >= 0 && m_core->m_generation == m_generation; }
    int Fail(const char* text) {
        m_error = Alive() ? text : "device disconnected";
        return -1;
    }

    std::shared_ptr<KeyboardEmulator::Core> m_core;
    Role m_role;
    unsigned m_generation;
    std::string m_error;
};

class EmulatedBackend final : public HidBackend {
public:
    explicit EmulatedBackend(std::shared_ptr<KeyboardEmulator::Core> core) : m_core(std::move(core)) {}

    bool Init() override { return true; }

    std::vector<HidDeviceInfo> Enumerate() override {
        std::lock_guard lock(m_core->mutex);
        return m_core->EnumerateLocked();
    }

    std::unique_ptr<HidDevice> OpenPath(const std::string& path) override {
        std::lock_guard lock(m_core->mutex);
        if (m_core->m_plugged < 0) return nullptr;
        // A Bluetooth node lists the keyboard collection first; the vendor one is what answers.
        std::optional<Role> role;
        for (const Collection& c : CollectionsOf(m_core->m_modes[m_core->m_plugged]))
            if (c.path == path && (!role || c.role == Role::Vendor)) role = c.role;
        if (!role) return nullptr;
        return std::make_unique<EmulatedDevice>(m_core, *role, m_core->m_generation);
    }

private:
    std::shared_ptr<KeyboardEmulator::Core> m_core;
};

} // namespace

std::vector<EmulatedMode> KeyboardEmulator::DefaultModes() {
    return {{0, 0x2F5A, 0x7101, "Molvane MK71", HidBus::Usb},
            {1, 0x2F5A, 0x7102, "Molvane MK71 2.4G", HidBus::Usb},
            {2, 0x2F5A, 0x7103, "Molvane MK71 BT", HidBus::Bluetooth}};
}

KeyboardEmulator::KeyboardEmulator(std::vector<EmulatedMode> modes, PacingClock* clock)
    : m_core(std::make_shared<Core>(std::move(modes), clock)) {}

KeyboardEmulator::~KeyboardEmulator() {
    std::lock_guard lock(m_core->mutex);
    m_core->m_listener = nullptr;
}

std::unique_ptr<HidBackend> KeyboardEmulator::CreateBackend() const {
    return std::make_unique<EmulatedBackend>(m_core);
}

bool KeyboardEmulator::Plug(int modeValue) {
    const auto it = std::find_if(m_core->m_modes.begin(), m_core->m_modes.end(),
                                 [&](const EmulatedMode& m) { return m.modeValue == modeValue; });
    if (it == m_core->m_modes.end()) return false;
    Unplug();
    std::vector<std::string> names;
    std::function<void(bool, const std::string&)> listener;
    {
        std::lock_guard lock(m_core->mutex);
        m_core->m_plugged = static_cast<int>(it - m_core->m_modes.begin());
        names = m_core->NamesLocked();
        listener = m_core->m_listener;
    }
    if (listener)
        for (const std::string& name : names)
            listener(true, name);
    return true;
}

void KeyboardEmulator::Unplug() {
    std::vector<std::string> names;
    std::function<void(bool, const std::string&)> listener;
    {
        std::lock_guard lock(m_core->mutex);
        if (m_core->m_plugged < 0) return;
        names = m_core->NamesLocked();
        m_core->m_plugged = -1;
        ++m_core->m_generation;
        m_core->m_nextPacket = -1;
        m_core->m_pending = PendingRead::None;
        listener = m_core->m_listener;
    }
    if (listener)
        for (const std::string& name : names)
            listener(false, name);
}

bool KeyboardEmulator::IsPlugged() const {
    std::lock_guard lock(m_core->mutex);
    return m_core->m_plugged >= 0;
}

std::vector<std::string> KeyboardEmulator::InterfaceNames() const {
    std::lock_guard lock(m_core->mutex);
    return m_core->NamesLocked();
}

void KeyboardEmulator::SetHotplugListener(std::function<void(bool, const std::string&)> listener) {
    std::lock_guard lock(m_core->mutex);
    m_core->m_listener = std::move(listener);
}

void KeyboardEmulator::FailWrites(int count) {
    std::lock_guard lock(m_core->mutex);
    m_core->m_failWrites = count;
}

void KeyboardEmulator::ShortReads(int count, int length) {
    std::lock_guard lock(m_core->mutex);
    m_core->m_shortReads = count;
    m_core->m_shortLength = length;
}

void KeyboardEmulator::SetFirmwareVersion(uint16_t version) {
    std::lock_guard lock(m_core->mutex);
    m_core->m_version = version;
}

void KeyboardEmulator::PresetMacroSlot(int slot, uint8_t keyCode) {
    std::lock_guard lock(m_core->mutex);
    if (slot >= 1 && slot <= kMacroSlotCount) {
        m_core->m_state.slotTable[slot] = keyCode;
        m_core->m_state.macroSlots[slot - 1].keyCode = keyCode;
    }
}

void KeyboardEmulator::PresetRemapSlot(int slot, uint8_t keyCode) {
    std::lock_guard lock(m_core->mutex);
    if (slot >= 1 && slot <= kRemapSlotCount) {
        m_core->m_state.slotTable[13 + slot] = keyCode;
        m_core->m_state.remapSlots[slot - 1].keyCode = keyCode;
    }
}

EmulatorState KeyboardEmulator::State() const {
    std::lock_guard lock(m_core->mutex);
    return m_core->m_state;
}

void KeyboardEmulator::ClearLog() {
    std::lock_guard lock(m_core->mutex);
    m_core->m_state.log.clear();
}
