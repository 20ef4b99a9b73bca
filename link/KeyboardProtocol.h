// The keyboard's command sequences: key slots, macros, lighting, colours, music level, reset, version.
#pragma once

#include <map>
#include <optional>

class DeviceLink;
class ProfileDatabase;

// What a full key upload did; `notFitted` assignments found no free macro or remap slot.
struct KeyUploadResult {
    bool slotTableKnown = false; // false: the table read failed and every slot was cleared
    int macroSlotsUsed = 0;
    int remapSlotsUsed = 0;
    int notFitted = 0;
};

// Reads the values to send from the profile database of the given profile and function layer and
// sends them through the link's current interface, paced by the link's clock.
class KeyboardProtocol {
public:
    KeyboardProtocol(DeviceLink& link, ProfileDatabase& database);

    void SetProfile(int profile, int fnLayer);

    // Rewrites the keyboard's macro and remap slots from the profile's key assignments.
    KeyUploadResult UploadKeyAssignments();
    // Sends one macro slot as 28 packets (type 3 macro, type 7 shortcut, anything else clears it).
    void UploadMacroSlot(int keyCode, int slot, int functionType, int functionValue);
    // Sends one remap slot for key `keyCode` (0 clears it); sends nothing for a macro, shortcut or
    // disabled assignment that has a value.
    void UploadRemapSlot(int keyCode, int slot);
    // Sends the profile's selected lighting effect; `optionIndex` is the light page's option choice.
    // False when there is no effect to send or the write failed.
    bool UploadLightEffect(int optionIndex);
    // Resets the keyboard to its factory state (the pages reload from the database afterwards).
    void FactoryReset();
    // The firmware version (byte 1 x 256 + byte 2 of the reply), or nothing when the keyboard did not answer.
    std::optional<int> ReadFirmwareVersion();
    // Sends the music level scaled by `sensitivity` at once; returns the level sent, or -1 on failure.
    int SendMusicLevel(int level, double sensitivity, int effect, int scheme);
    // Sends the shared custom colour set; `lightPositions` maps key codes to light positions.
    // Stops at the first report that fails; false then.
    bool UploadKeyColours(const std::map<int, int>& lightPositions);

private:
    bool Wireless() const;

    DeviceLink& m_link;
    ProfileDatabase& m_database;
    int m_profile = 0;
    int m_fnLayer = 0;
};
