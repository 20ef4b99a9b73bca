// The keyboard's reports, built as pure functions from records to bytes; sending and pacing live elsewhere.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "link/ReportTypes.h"
#include "store/ProfileRecords.h"

inline constexpr int kMacroSlotCount = 13;
inline constexpr int kRemapSlotCount = 10;
inline constexpr int kMacroPacketCount = 28;
inline constexpr int kMacroPairLimit = 82;
inline constexpr int kColourTableSize = 600;
inline constexpr int kColourEntryCount = 150;
inline constexpr int kColourReportCount = 8;
inline constexpr int kCustomColourLightId = 128;

// Key function types that the keyboard keeps in macro slots.
inline constexpr int kFunctionMacro = 3;
inline constexpr int kFunctionShortcut = 7;

// Macro event types carried to the keyboard.
inline constexpr int kEventKeyDown = 2;
inline constexpr int kEventKeyUp = 3;

using MacroBlock = std::array<uint8_t, 168>;
using ColourTable = std::array<uint8_t, kColourTableSize>;

// Timing byte of a macro event: bit 7 release, bits 6-5 unit (10/50/100/1000 ms), bits 4-0 count.
uint8_t EncodeDelay(int delayMs, bool released);

Report8 BuildSlotTableRequest();
Report8 BuildFirmwareVersionRequest();
// 07 FA 01 s k 01 v 01; k = v = 0 clears the slot.
Report8 BuildRemapSlotReport(int slot, int keyCode, int value);

// Block of a slot being cleared: only the leading 1 and the slot number.
MacroBlock BuildClearedMacroBlock(int slot);
// Shortcut `shortcut` (1-15) as key events, repeat count 1.
MacroBlock BuildShortcutMacroBlock(int slot, int keyCode, int shortcut);
// A recorded macro: key code and play count only when the macro row exists (`macro` not null); the
// press/release events are taken either way, at most 82 pairs.
MacroBlock BuildMacroBlock(int slot, int keyCode, const MacroRecord* macro,
                           const std::vector<MacroEventRecord>& events);
// Packet 0 is 07 F1 D0-D5, packet i is 07 00 D(6i)-D(6i+5).
std::array<Report8, kMacroPacketCount> SplitMacroBlock(const MacroBlock& block);

// Lighting effect over the command feature report: 07 F7 m c d s b o.
Report8 BuildLightEffectFeature(const LightModeRecord& effect, int optionIndex);
// Lighting effect over the wireless report: BB AA 99 88 AA m c d s b o.
Report64 BuildLightEffectWireless(const LightModeRecord& effect, int optionIndex);

Report8 BuildFactoryResetFeature();
Report64 BuildWirelessResetFirst();
Report64 BuildWirelessResetSecond();

// min(255, level x sensitivity), truncated; never negative.
int ScaleMusicLevel(int level, double sensitivity);
// 07 23 45 67 89 e n L.
Report8 BuildMusicLevelReport(int effect, int scheme, int level);

// Entry p = red, green, blue, 0xFF of the key whose light position is p; keys without a position
// (or with one of 150 or more) are left out.
ColourTable BuildColourTable(const std::vector<KeyLightRecord>& lights,
                             const std::map<int, int>& lightPositions);
std::array<Report65, kColourReportCount> BuildColourReports(const ColourTable& table);
