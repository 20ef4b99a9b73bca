// Command sequences of the keyboard protocol, read from the profile database.
#include "link/KeyboardProtocol.h"

#include <vector>

#include "link/DeviceLink.h"
#include "link/ProtocolReports.h"
#include "store/ProfileDatabase.h"

using namespace std::chrono_literals;

namespace {

constexpr auto kCommandPause = 16ms;
constexpr auto kWiredResetPause = 100ms;
constexpr auto kWirelessResetPause = 1600ms;
constexpr auto kColourReportPause = 1ms;

// Macro slot 13 is left alone by the clearing pass.
constexpr int kClearedMacroSlots = 12;

} // namespace

KeyboardProtocol::KeyboardProtocol(DeviceLink& link, ProfileDatabase& database)
    : m_link(link), m_database(database) {}

void KeyboardProtocol::SetProfile(int profile, int fnLayer) {
    m_profile = profile;
    m_fnLayer = fnLayer;
}

bool KeyboardProtocol::Wireless() const {
    const int mode = m_link.ConnectionMode();
    return mode == 1 || mode == 2;
}

KeyUploadResult KeyboardProtocol::UploadKeyAssignments() {
    KeyUploadResult result;
    if (!m_link.Ready()) return result;
    const SlotTableRead table = m_link.QueryTable(BuildSlotTableRequest());
    // A table that did not arrive whole says nothing about the slots: clear every one of them.
    result.slotTableKnown = table.complete;
    auto used = [&](int byteIndex) { return !table.complete || table.bytes[byteIndex] != 0; };

    for (int slot = 1; slot <= kClearedMacroSlots; ++slot)
        if (used(slot)) {
            m_link.Clock().Sleep(kCommandPause);
            UploadMacroSlot(table.complete ? table.bytes[slot] : 0, slot, 0, 0);
        }
    for (int slot = 1; slot <= kRemapSlotCount; ++slot)
        if (used(13 + slot)) {
            m_link.Clock().Sleep(kCommandPause);
            UploadRemapSlot(0, slot);
        }

    std::vector<KeyAssignmentRecord> rows;
    m_database.LoadKeyAssignments(m_profile, m_fnLayer, rows);
    for (const KeyAssignmentRecord& row : rows) {
        if (row.m_macroType == 0) continue;
        const bool macroSlot = row.m_macroType == kFunctionMacro || row.m_macroType == kFunctionShortcut;
        int& usedCount = macroSlot ? result.macroSlotsUsed : result.remapSlotsUsed;
        // Slots past the keyboard's last one do not exist; the caller tells the user what was left out.
        if (usedCount == (macroSlot ? kMacroSlotCount : kRemapSlotCount)) {
            ++result.notFitted;
            continue;
        }
        const int slot = ++usedCount;
        m_link.Clock().Sleep(kCommandPause);
        if (macroSlot)
            UploadMacroSlot(row.m_keyCode, slot, row.m_macroType, row.m_macroValue);
        else
            UploadRemapSlot(row.m_keyCode, slot);
    }
    return result;
}

void KeyboardProtocol::UploadMacroSlot(int keyCode, int slot, int functionType, int functionValue) {
    if (!m_link.Ready()) return;
    MacroBlock block;
    if (functionType == kFunctionShortcut) {
        block = BuildShortcutMacroBlock(slot, keyCode, functionValue);
    } else if (functionType == kFunctionMacro) {
        MacroRecord macro;
        const bool exists = m_database.LoadMacro(functionValue, macro);
        std::vector<MacroEventRecord> events;
        m_database.LoadMacroEvents(functionValue, events);
        block = BuildMacroBlock(slot, keyCode, exists ? &macro : nullptr, events);
    } else {
        block = BuildClearedMacroBlock(slot);
    }
    // A lost packet is not repeated; the rest of the slot still goes out.
    for (const Report8& packet : SplitMacroBlock(block)) {
        m_link.Clock().Sleep(kCommandPause);
        m_link.SetFeature8(packet);
    }
}

void KeyboardProtocol::UploadRemapSlot(int keyCode, int slot) {
    KeyAssignmentRecord row;
    const bool exists = m_database.LoadKeyAssignment(m_profile, m_fnLayer, keyCode, row);
    if (!exists || row.m_macroValue < 1) {
        m_link.SetFeature8Delayed(BuildRemapSlotReport(slot, 0, 0));
        return;
    }
    if (row.m_macroType == 0 || row.m_macroType == kFunctionMacro || row.m_macroType == kFunctionShortcut)
        return;
    m_link.SetFeature8Delayed(BuildRemapSlotReport(slot, keyCode, row.m_macroValue));
}

bool KeyboardProtocol::UploadLightEffect(int optionIndex) {
    const int mode = m_database.GetSelectedLightMode(m_profile);
    LightModeRecord effect;
    if (!m_database.LoadLightMode(m_profile, mode, effect)) return false;
    if (Wireless()) return m_link.Write64(BuildLightEffectWireless(effect, optionIndex));
    return m_link.SetFeature8Delayed(BuildLightEffectFeature(effect, optionIndex));
}

void KeyboardProtocol::FactoryReset() {
    if (!m_link.Ready()) return;
    if (Wireless()) {
        m_link.Write64(BuildWirelessResetFirst());
        m_link.Clock().Sleep(kWirelessResetPause);
        m_link.Write64(BuildWirelessResetSecond());
        return;
    }
    m_link.SetFeature8Delayed(BuildFactoryResetFeature());
    m_link.Clock().Sleep(kWiredResetPause);
}

std::optional<int> KeyboardProtocol::ReadFirmwareVersion() {
    const std::optional<Report8> reply = m_link.ReadFeatureReply(BuildFirmwareVersionRequest());
    if (!reply) return std::nullopt;
    return (*reply)[1] * 256 + (*reply)[2];
}

int KeyboardProtocol::SendMusicLevel(int level, double sensitivity, int effect, int scheme) {
    const int scaled = ScaleMusicLevel(level, sensitivity);
    return m_link.SetFeature8(BuildMusicLevelReport(effect, scheme, scaled)) ? scaled : -1;
}

bool KeyboardProtocol::UploadKeyColours(const std::map<int, int>& lightPositions) {
    if (!m_link.Ready()) return false;
    std::vector<KeyLightRecord> lights;
    m_database.LoadKeyLights(kCustomColourLightId, lights);
    for (const Report65& report : BuildColourReports(BuildColourTable(lights, lightPositions))) {
        m_link.Clock().Sleep(kColourReportPause);
        if (!m_link.WriteReport(report)) return false;
    }
    return true;
}
