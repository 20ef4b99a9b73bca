// Shared fixtures of the link tests: an emulated keyboard behind a link on virtual time, and a database.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/DeviceLink.h"
#include "link/PacingClock.h"
#include "sim/KeyboardEmulator.h"
#include "store/ProfileDatabase.h"

// A fresh folder with a "db" subfolder, removed with everything in it.
class LinkTempFolder {
public:
    LinkTempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "molvane-link-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_path = pattern + "/";
        std::filesystem::create_directories(m_path + "db");
    }
    ~LinkTempFolder() { std::filesystem::remove_all(m_path); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Registers the catalogue entries of the emulator's default identity (patterns as in config.xml).
inline void AddDefaultCatalogue(DeviceLink& link) {
    link.AddCatalogueEntry(0x2F5A, 0x7101, "Molvane MK71", 201, 0, "PID_7101&MI_02");
    link.AddCatalogueEntry(0x2F5A, 0x7102, "Molvane MK71 2.4G", 201, 1, "PID_7102&MI_02");
    link.AddCatalogueEntry(0x2F5A, 0x7103, "Molvane MK71 BT", 201, 2, "VID_2F5A&PID_7103");
}

// An emulated keyboard plugged in `mode`, a link over it as the rescan leaves it (type 201 selected),
// everything on one virtual clock.
struct EmulatedLink {
    explicit EmulatedLink(int mode = 0, std::vector<EmulatedMode> modes = KeyboardEmulator::DefaultModes())
        : emulator(std::move(modes), &clock), link(emulator.CreateBackend(), &clock) {
        AddDefaultCatalogue(link);
        if (mode >= 0) emulator.Plug(mode);
        Rescan();
    }
    void Rescan() {
        link.CloseAll();
        link.Enumerate();
        link.SelectType(DeviceLink::kKeyboardDeviceType);
        link.ClearCurrent();
    }

    VirtualPacingClock clock;
    KeyboardEmulator emulator;
    DeviceLink link;
};

// The feature writes the keyboard accepted, in order.
inline std::vector<std::vector<uint8_t>> FeatureWrites(const EmulatorState& state) {
    std::vector<std::vector<uint8_t>> out;
    for (const EmulatedReport& r : state.log)
        if (r.kind == EmulatedReport::Kind::FeatureWrite) out.push_back(r.bytes);
    return out;
}

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}
