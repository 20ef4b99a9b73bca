// Report building for the keyboard protocol.
#include "link/ProtocolReports.h"

#include <algorithm>

#include "link/KeyCodeTable.h"
#include "link/ShortcutTable.h"

namespace {

constexpr uint8_t kWirelessMagic[4] = {0xBB, 0xAA, 0x99, 0x88};
constexpr int kMaxDelayMs = 31000;

uint8_t Byte(int value) {
    return static_cast<uint8_t>(value & 0xFF);
}

Report8 Feature(uint8_t command) {
    Report8 r{};
    r[0] = kCommandReportId;
    r[1] = command;
    return r;
}

Report64 Wireless() {
    Report64 r{};
    std::copy(std::begin(kWirelessMagic), std::end(kWirelessMagic), r.begin());
    return r;
}

// m c d s b o, shared by both carriers; `featureForm` applies the mode-9 exception.
std::array<uint8_t, 6> LightFields(const LightModeRecord& e, int optionIndex, bool featureForm) {
    const int m = e.m_mode - 1;
    int c = e.m_colorIndex;
    if ((m == 1 || m == 2 || m == 4) && (c == 4 || c == 5)) c = c == 4 ? 5 : 4;
    int d = e.m_direction;
    int s = e.m_speed > 0 ? e.m_speed - 1 : 0;
    const int b = e.m_brightness > 0 ? e.m_brightness - 1 : 0;
    int o = (e.m_configFunc & 0x100) ? optionIndex : 0;
    if (m == 3) {
        d = e.m_colorValue & 0xFF;
        s = (e.m_colorValue >> 8) & 0xFF;
        o = (e.m_colorValue >> 16) & 0xFF;
    }
    if (featureForm && e.m_mode == 9) {
        c = e.m_colorIndex;
        d = e.m_direction;
        s = e.m_speed;
    }
    return {Byte(m), Byte(c), Byte(d), Byte(s), Byte(b), Byte(o)};
}

} // namespace

uint8_t EncodeDelay(int delayMs, bool released) {
    const int t = std::min(delayMs, kMaxDelayMs);
    int unit = 0;
    int count = 0;
    if (t <= 10)
        count = t < 0 ? 0 : 1;
    else if (t <= 310)
        count = t / 10;
    else if (t <= 1550)
        unit = 1, count = t / 50;
    else if (t <= 3100)
        unit = 2, count = t / 100;
    else
        unit = 3, count = t / 1000;
    const int value = (released ? 0x80 : 0) | (unit << 5) | count;
    // Bytes 0 and 1 both go out as 1, the shortest press.
    return value <= 1 ? 1 : static_cast<uint8_t>(value);
}

Report8 BuildSlotTableRequest() {
    Report8 r = Feature(0xFB);
    r[2] = 0x01;
    return r;
}

Report8 BuildFirmwareVersionRequest() {
    return Feature(0xFD);
}

Report8 BuildRemapSlotReport(int slot, int keyCode, int value) {
    Report8 r = Feature(0xFA);
    r[2] = 1;
    r[3] = Byte(slot);
    r[4] = Byte(keyCode);
    r[5] = 1;
    r[6] = Byte(value);
    r[7] = 1;
    return r;
}

MacroBlock BuildClearedMacroBlock(int slot) {
    MacroBlock d{};
    d[0] = 1;
    d[1] = Byte(slot);
    return d;
}

MacroBlock BuildShortcutMacroBlock(int slot, int keyCode, int shortcut) {
    MacroBlock d = BuildClearedMacroBlock(slot);
    d[2] = Byte(keyCode);
    d[3] = 1;
    size_t at = 4;
    for (const ShortcutEvent& e : ShortcutEvents(shortcut)) {
        d[at++] = e.usage;
        d[at++] = e.released ? 0x81 : 0x01;
    }
    return d;
}

MacroBlock BuildMacroBlock(int slot, int keyCode, const MacroRecord* macro,
                           const std::vector<MacroEventRecord>& events) {
    MacroBlock d = BuildClearedMacroBlock(slot);
    if (macro != nullptr) {
        d[2] = Byte(keyCode);
        d[3] = Byte(macro->m_playTimes);
    }
    size_t at = 4;
    for (const MacroEventRecord& e : events) {
        if (e.m_type != kEventKeyDown && e.m_type != kEventKeyUp) continue;
        if (at + 2 > d.size()) break; // the slot holds 82 pairs; the rest of the macro is cut off
        d[at++] = VirtualKeyToUsage(e.m_value);
        d[at++] = EncodeDelay(e.m_delayTime, e.m_type == kEventKeyUp);
    }
    return d;
}

std::array<Report8, kMacroPacketCount> SplitMacroBlock(const MacroBlock& block) {
    std::array<Report8, kMacroPacketCount> packets{};
    for (int i = 0; i < kMacroPacketCount; ++i) {
        packets[i] = Feature(i == 0 ? 0xF1 : 0x00);
        std::copy_n(block.begin() + 6 * i, 6, packets[i].begin() + 2);
    }
    return packets;
}

Report8 BuildLightEffectFeature(const LightModeRecord& effect, int optionIndex) {
    Report8 r = Feature(0xF7);
    const auto f = LightFields(effect, optionIndex, true);
    std::copy(f.begin(), f.end(), r.begin() + 2);
    return r;
}

Report64 BuildLightEffectWireless(const LightModeRecord& effect, int optionIndex) {
    Report64 r = Wireless();
    r[4] = 0xAA;
    const auto f = LightFields(effect, optionIndex, false);
    std::copy(f.begin(), f.end(), r.begin() + 5);
    return r;
}

Report8 BuildFactoryResetFeature() {
    Report8 r = Feature(0xF0);
    r[2] = 0xAA;
    return r;
}

Report64 BuildWirelessResetFirst() {
    Report64 r = Wireless();
    std::fill_n(r.begin() + 4, 6, 0xAA);
    return r;
}

Report64 BuildWirelessResetSecond() {
    return Wireless();
}

int ScaleMusicLevel(int level, double sensitivity) {
    const double scaled = static_cast<double>(level) * sensitivity;
    if (!(scaled > 0)) return 0;
    return scaled >= 255 ? 255 : static_cast<int>(scaled);
}

Report8 BuildMusicLevelReport(int effect, int scheme, int level) {
    Report8 r = Feature(0x23);
    r[2] = 0x45;
    r[3] = 0x67;
    r[4] = 0x89;
    r[5] = Byte(effect);
    r[6] = Byte(scheme);
    r[7] = Byte(level);
    return r;
}

ColourTable BuildColourTable(const std::vector<KeyLightRecord>& lights,
                             const std::map<int, int>& lightPositions) {
    ColourTable table{};
    for (const KeyLightRecord& light : lights) {
        const auto it = lightPositions.find(light.m_keyCode);
        if (it == lightPositions.end() || it->second < 0 || it->second >= kColourEntryCount) continue;
        uint8_t* entry = table.data() + 4 * it->second;
        entry[0] = Byte(light.m_keyRgb);
        entry[1] = Byte(light.m_keyRgb >> 8);
        entry[2] = Byte(light.m_keyRgb >> 16);
        entry[3] = 0xFF;
    }
    return table;
}

std::array<Report65, kColourReportCount> BuildColourReports(const ColourTable& table) {
    std::array<Report65, kColourReportCount> reports{};
    for (int i = 0; i < kColourReportCount; ++i) {
        Report65& r = reports[i];
        const int offset = i * 60;
        r[0] = 0;
        r[1] = 0x8B;
        r[2] = i == kColourReportCount - 1 ? 20 : 60;
        r[3] = Byte(offset);
        r[4] = Byte(offset >> 8);
        std::copy_n(table.begin() + offset, 60, r.begin() + 5);
    }
    return reports;
}
