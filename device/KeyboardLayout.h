// The keyboard layout file of a model: page flags, lighting defaults and effects, key positions, key matrix.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "device/DeviceCatalogue.h"
#include "device/KeyboardLayoutView.h"
#include "store/ProfileRecords.h"

// Page flag bits of KeyboardDef::m_pageFlags.
inline constexpr uint32_t kPageKeyAssignment = 0x01;   // tab 1 and its keyboard picture
inline constexpr uint32_t kPageMacro = 0x02;           // tab 2
inline constexpr uint32_t kPageLighting = 0x04;        // tab 3 and its keyboard picture
inline constexpr uint32_t kPageSettings = 0x40;        // tab 7 and the settings page's keyboard picture

inline constexpr int kKeyMatrixRows = 8;
inline constexpr int kKeyMatrixColumns = 32;
inline constexpr uint8_t kNoKey = 0xFF;

// The layout state of the main window, as the last layout load left it.
struct KeyboardDef {
    int m_deviceType = 0;
    std::string m_keyboardName;   // names the model's profile database
    uint32_t m_pageFlags = 0x7F;
    bool m_sleepTimeSupported = false;
    std::string m_firmwareVersion;
    std::string m_firmwareFile;
    std::string m_firmwareAddress;
    bool m_perKeyRgb = false;
    int m_defaultLightMode = 0;
    int m_defaultBrightness = 0;
    int m_defaultSpeed = 0;
    std::vector<LightModeRecord> m_lightModes;   // the effect list, in file order
    std::map<int, int> m_keyPositions;           // key code -> position in the key-function table
    std::map<int, int> m_lightPositions;         // key code -> position in the lighting tables
    std::array<std::array<uint8_t, kKeyMatrixColumns>, kKeyMatrixRows> m_keyMatrix = EmptyMatrix();
    int m_matrixRows = 0;
    int m_matrixColumns = 0;

    static std::array<std::array<uint8_t, kKeyMatrixColumns>, kKeyMatrixRows> EmptyMatrix();
};

// Where a layout load finds its inputs and what it drives besides the layout state.
struct LayoutEnvironment {
    const std::vector<DeviceDescriptor>* m_keyboards = nullptr;   // the catalogue's keyboard list
    std::string m_moduleFolder;                                   // holds layouts/, ends in '/'
    int m_currentProfile = 0;                                     // profile id given to the effect entries
    // Switches the profile database to the model's file, e.g.
    // [](const std::string& name) { GetProfileDatabase().SwitchModel(GetUserDataFolder(), name); }
    std::function<void(const std::string& keyboardName)> m_switchDatabase;
    KeyboardLayoutView* m_view = nullptr;
};

// Loads the layout of the first model with `deviceType`: switches the database to that model, then reads
// "<module folder>layouts/<layout name>.xml". False when the file is missing or has no "device.info"
// root; the layout state beyond device type and keyboard name then keeps its previous contents.
bool LoadKeyboardLayout(KeyboardDef& def, int deviceType, const LayoutEnvironment& environment);

// The file part of LoadKeyboardLayout, for a layout at `path`.
bool LoadKeyboardLayoutFile(KeyboardDef& def, const std::string& path, int currentProfile, KeyboardLayoutView* view);

// "row_col": first character the row digit, then the last one (3 characters) or two (longer) the column.
// False for texts shorter than 3 characters, non-digits, or a position outside the 8 x 32 matrix.
bool ParseRowCol(const std::string& text, int& row, int& column);

// "left#top#width#height" -> (left, top, left + width, top + height).
LayoutRect ParseKeyRect(const std::string& text);
