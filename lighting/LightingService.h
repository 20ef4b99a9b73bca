// The lighting page without a window: effects and their parameters, per-key colours, music settings.
// Every change is stored in the profile database first; uploads go through ILightingJobs.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lighting/ILightingJobs.h"
#include "lighting/LightPageModel.h"
#include "lighting/MusicRhythm.h"
#include "store/ProfileRecords.h"

class ProfileDatabase;
struct KeyboardDef;

enum class [[nodiscard]] LightResult {
    Done,       // stored (and an upload queued where the change needs one)
    NoEffect,   // no record for the current effect (or no profile): nothing changed
    NotOffered, // the current effect has no such editor, or the effect is not in the list
    Refused,    // a rule refused it (per-key colours outside the custom effect, no key items)
    Failed,     // the database did not take it
};

// One key of the lighting picture.
struct LightKeyItem {
    int m_code = 0;
    std::string m_name;
};

// What a layout load gives the lighting page.
struct LightingLayout {
    std::vector<LightModeRecord> m_effects; // the layout's effect list, in file order
    int m_defaultMode = 0;
    int m_defaultBrightness = 0;
    int m_defaultSpeed = 0;
    int m_brightnessMax = 0;
    int m_speedMax = 0;
    std::vector<LightKeyItem> m_keys; // the lighting picture's key items

    // The effect list and defaults of `def` with the two slider maxima and the picture's keys.
    static LightingLayout From(const KeyboardDef& def, int brightnessMax, int speedMax,
                               std::vector<LightKeyItem> keys);
};

// Several parameters of the selected effect changed at once (the command line): all are checked
// before any is stored, then stored together with one upload.
struct LightSettingsChange {
    std::optional<int> m_brightness;
    std::optional<int> m_speed;
    std::optional<int> m_direction; // 1 or 2
    std::optional<int> m_colour;    // COLORREF
    std::optional<bool> m_colorful;
    std::optional<int> m_colourIndex;
    std::array<std::optional<int>, kOptionRows> m_options; // 0-6 per option row
};

class LightingService {
public:
    LightingService(ProfileDatabase& database, ILightingJobs& jobs);

    void SetLayout(LightingLayout layout);
    const LightingLayout& Layout() const { return m_layout; }
    // Connection modes 1 and 2 (wireless) leave the music effect out of the list.
    void SetConnectionMode(int mode) { m_connectionMode = mode; }
    void SetProfile(int profile) { m_profile = profile; }
    int Profile() const { return m_profile; }

    // Creates the profile's effect records if it has none, fills the effect list, selects the stored
    // effect (the layout's default, or the first, when none is stored) and shows it.
    LightResult LoadLightPage();
    // Shows the editors and preview of the effect selected in the list and marks it selected.
    LightResult ShowEffect();
    const LightPageModel& Page() const { return m_page; }
    // The stored record of the current effect.
    bool CurrentRecord(LightModeRecord& record) const;

    // Control 71: shows the effect at list `index`, then uploads it unless it is the music or screen effect.
    LightResult OnEffectListSelection(int index);
    // The same by mode number; NotOffered when the mode is not in the list.
    LightResult SelectEffectMode(int mode);

    // Parameter handlers: each stores at once and queues an upload unless one waits already.
    LightResult OnBrightness(int value);
    LightResult OnSpeed(int value);
    // Controls 79, 80 (horizontal) and 81, 82 (vertical): the button that was checked.
    LightResult OnDirection(int controlId);
    // Controls 84-91, 93-100, 102-109.
    LightResult OnColourSetButton(int controlId);
    // Control 113. Unchecking by the user's click resets the colour to red; otherwise it stays.
    LightResult OnMulticolour(bool checked, bool byUserClick);
    // Colour wheel (116) and presets (126-134).
    LightResult OnColourWheel(int colour);
    LightResult OnPreset(int controlId);
    // Sliders 120-122 and fields 123-125: one channel, clamped to 0-255 (the field shows the clamped value).
    LightResult OnRgbChannel(int controlId, int value);
    // Controls 158-204: one choice of an option row.
    LightResult OnOptionChoice(int controlId);
    // Where every colour editor ends: the paint colour of the custom effect, else the effect's colour.
    LightResult SetEffectColour(int colour);
    // Control 110: the custom slot 0-2 that the lighting upload carries.
    LightResult OnCustomSlot(int index);
    int CustomSlotIndex() const { return m_page.m_customSlot; }
    // The settings page's restore: back to the first slot, sending nothing.
    void ResetCustomSlot() { m_page.m_customSlot = 0; }
    // The command line's combined change; `why` names the first refused parameter.
    LightResult ApplySettings(const LightSettingsChange& change, std::string& why);

    // Per-key colours (custom effect): painting changes the picture only, until applied.
    LightResult PaintKey(int keyCode);
    LightResult SetKeyColour(int keyCode, int colour);
    // Control 72's apply: stores every key item's colour as the shared set and uploads it.
    LightResult SaveKeyColours();
    // Stores `colours` over the shared set (keys not named keep their stored colour) without uploading.
    LightResult StoreKeyColours(const std::map<int, int>& colours);
    // The shared set as stored: key code -> colour.
    std::map<int, int> StoredKeyColours() const;

    // Music settings (controls 144-156) and the packet handler of the capture thread.
    MusicRhythm& Music() { return m_music; }
    // The page is shown or left: music levels go out only while it is shown.
    void SetPageShown(bool shown) { m_music.SetPageShown(shown); }

private:
    LightResult ShowRecord(const LightModeRecord& record);
    void ShowEditors(const LightModeRecord& record);
    void ShowCustomView(const LightModeRecord& record);
    bool InitialiseEffects();
    bool Offers(int bits) const { return (m_page.m_configFunc & bits) != 0; }
    LightResult LoadCurrent(LightModeRecord& record) const;
    LightResult StoreAndUpload(const LightModeRecord& record, bool withWaitDialog);
    LightResult StoreColour(LightModeRecord& record, int colour);
    void ShowColour(int colour);
    std::string CheckChange(const LightSettingsChange& change) const;
    void ApplyChange(const LightSettingsChange& change, LightModeRecord& record) const;

    ProfileDatabase& m_db;
    ILightingJobs& m_jobs;
    LightingLayout m_layout;
    int m_connectionMode = 0;
    int m_profile = 0;
    LightPageModel m_page;
    MusicRhythm m_music;
};
