// A stand-in for the keyboard's firmware behind the HID seam, with its state open to inspection.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/HidBackend.h"
#include "link/PacingClock.h"
#include "link/ProtocolReports.h"

// How the keyboard shows itself in one connection mode.
struct EmulatedMode {
    int modeValue = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string productString;
    HidBus bus = HidBus::Usb;
};

// One report as the keyboard saw it.
struct EmulatedReport {
    enum class Kind { FeatureWrite, FeatureRead, OutputWrite };
    std::chrono::microseconds time{}; // on the emulator's clock
    Kind kind = Kind::FeatureWrite;
    std::vector<uint8_t> bytes; // as written, or as answered
};

struct EmulatedMacroSlot {
    uint8_t keyCode = 0;
    uint8_t repeatCount = 0;
    std::vector<std::pair<uint8_t, uint8_t>> events; // (usage, timing byte) up to the first empty pair
    MacroBlock block{};                              // the 168 bytes as assembled
};

struct EmulatedRemapSlot {
    uint8_t keyCode = 0;
    uint8_t value = 0;
};

struct EmulatedMusicLevel {
    uint8_t effect = 0;
    uint8_t scheme = 0;
    uint8_t level = 0;
};

// Everything the firmware keeps, plus counters of what it refused.
struct EmulatorState {
    SlotTableBytes slotTable{}; // byte 1-13 macro slots, 14-23 remap slots
    std::array<EmulatedMacroSlot, kMacroSlotCount> macroSlots{};
    std::array<EmulatedRemapSlot, kRemapSlotCount> remapSlots{};
    std::optional<std::array<uint8_t, 6>> featureEffect;  // m c d s b o of the last 0xF7 report
    std::optional<std::array<uint8_t, 6>> wirelessEffect; // m c d s b o of the last wireless effect
    ColourTable colours{};
    std::vector<EmulatedMusicLevel> musicLevels;
    int factoryResets = 0;
    int rejectedReports = 0; // malformed, out-of-range slot, stray continuation packet, unknown command
    int failedWrites = 0;    // writes refused by FailWrites
    std::vector<EmulatedReport> log;
};

class KeyboardEmulator {
public:
    // Identity of the keyboard in modes 0-2 as the shipped catalogue lists it.
    static std::vector<EmulatedMode> DefaultModes();

    // `clock` time-stamps the reports (null: real time). The emulator starts unplugged.
    explicit KeyboardEmulator(std::vector<EmulatedMode> modes = DefaultModes(), PacingClock* clock = nullptr);
    ~KeyboardEmulator();
    KeyboardEmulator(const KeyboardEmulator&) = delete;
    KeyboardEmulator& operator=(const KeyboardEmulator&) = delete;

    // A HID backend that lists and opens this keyboard's interfaces; it may outlive the emulator.
    std::unique_ptr<HidBackend> CreateBackend() const;

    // Connects the keyboard in connection mode `modeValue` (unplugging it first); false for an unknown mode.
    bool Plug(int modeValue);
    // Disconnects it: it leaves the enumeration and every handle opened before fails from now on.
    void Unplug();
    bool IsPlugged() const;
    // Names (see InterfaceName.h) of the interfaces the plugged keyboard exposes.
    std::vector<std::string> InterfaceNames() const;
    // Called after Plug and Unplug, once per interface, with true for an arrival.
    void SetHotplugListener(std::function<void(bool arrived, const std::string& interfaceName)> listener);

    // The next `count` writes fail (-1) without reaching the firmware.
    void FailWrites(int count);
    // The next `count` feature reads return only `length` bytes (-1 when `length` is 0).
    void ShortReads(int count, int length);
    void SetFirmwareVersion(uint16_t version);
    // Puts a key code into a slot as if an earlier upload had left it there.
    void PresetMacroSlot(int slot, uint8_t keyCode);
    void PresetRemapSlot(int slot, uint8_t keyCode);

    EmulatorState State() const;
    void ClearLog();

    // The firmware state shared with the backends and handles; defined in the implementation only.
    class Core;

private:
    std::shared_ptr<Core> m_core;
};
