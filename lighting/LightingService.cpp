// The lighting page without a window: effects and their parameters, per-key colours, music settings.
#include "lighting/LightingService.h"

#include <algorithm>
#include <cstdlib>

#include "device/KeyboardLayout.h"
#include "store/ProfileDatabase.h"
#include "store/SQLiteAutoTransaction.h"

namespace {

constexpr int kMaxChannel = 255;
constexpr int kColourMask = 0xFFFFFF;
constexpr int kLastColourIndex = kColourSetSize - 1;

// Which field and nibble each option row writes. Every row has a nibble of its own, so no row
// overwrites another's choice.
enum class OptionField { Speed, Direction, ColourIndex };
struct OptionSlot {
    OptionField m_field;
    int m_shift;
};
constexpr std::array<OptionSlot, kOptionRows> kOptionSlots{{
    {OptionField::Speed, 0},
    {OptionField::Direction, 0},
    {OptionField::Direction, 4},
    {OptionField::ColourIndex, 0},
    {OptionField::ColourIndex, 4},
    {OptionField::Speed, 4},
}};

int& OptionTarget(LightModeRecord& record, OptionField field)
{
    switch (field) {
    case OptionField::Speed:
        return record.m_speed;
    case OptionField::Direction:
        return record.m_direction;
    case OptionField::ColourIndex:
        break;
    }
    return record.m_colorIndex;
}

int OptionValue(const LightModeRecord& record, int row)
{
    LightModeRecord copy = record;
    const OptionSlot slot = kOptionSlots[row];
    return (OptionTarget(copy, slot.m_field) >> slot.m_shift) & 0xF;
}

void SetOptionValue(LightModeRecord& record, int row, int value)
{
    const OptionSlot slot = kOptionSlots[row];
    int& field = OptionTarget(record, slot.m_field);
    field = (field & ~(0xF << slot.m_shift)) | ((value & 0xF) << slot.m_shift);
}

constexpr std::array<int, 3> kColourSetBits{kLightColourSet1, kLightColourSet2, kLightColourSet3};
constexpr std::array<int, 3> kColourSetFirstIds{kIdColourSet1First, kIdColourSet2First, kIdColourSet3First};

std::array<int, 3> Channels(int colour)
{
    return {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF};
}

int ColourOf(const std::array<int, 3>& rgb)
{
    return rgb[0] | (rgb[1] << 8) | (rgb[2] << 16);
}

// Replaces the shared set with one row per key item, in one transaction: a failure keeps the old set.
bool WriteKeyColours(ProfileDatabase& db, const std::vector<KeyLightRecord>& rows)
{
    SQLiteAutoTransaction transaction(&db);
    db.DeleteKeyLights(ProfileDatabase::kCustomLightId);
    if (db.SaveKeyLights(rows) != static_cast<int>(rows.size())) {
        transaction.Rollback();
        return false;
    }
    return transaction.End();
}

} // namespace

LightingLayout LightingLayout::From(const KeyboardDef& def, int brightnessMax, int speedMax,
                                    std::vector<LightKeyItem> keys)
{
    LightingLayout layout;
    layout.m_effects = def.m_lightModes;
    layout.m_defaultMode = def.m_defaultLightMode;
    layout.m_defaultBrightness = def.m_defaultBrightness;
    layout.m_defaultSpeed = def.m_defaultSpeed;
    layout.m_brightnessMax = brightnessMax;
    layout.m_speedMax = speedMax;
    layout.m_keys = std::move(keys);
    return layout;
}

LightingService::LightingService(ProfileDatabase& database, ILightingJobs& jobs) : m_db(database), m_jobs(jobs) {}

void LightingService::SetLayout(LightingLayout layout)
{
    m_layout = std::move(layout);
    m_layout.m_brightnessMax = std::max(m_layout.m_brightnessMax, 0);
    m_layout.m_speedMax = std::max(m_layout.m_speedMax, 0);
    m_page.m_brightnessMax = m_layout.m_brightnessMax;
    m_page.m_speedMax = m_layout.m_speedMax;
}

// ---- Page ------------------------------------------------------------------------------------

bool LightingService::InitialiseEffects()
{
    if (m_db.CountLightModes(m_profile) >= 1)
        return true;
    if (m_layout.m_effects.empty())
        return false;
    // All rows or none: a partly created set would never be completed, as only an empty set is.
    SQLiteAutoTransaction transaction(&m_db);
    for (const LightModeRecord& entry : m_layout.m_effects) {
        LightModeRecord record;
        record.m_profile = m_profile;
        record.m_name = entry.m_name;
        record.m_mode = entry.m_mode;
        record.m_brightness = m_layout.m_defaultBrightness;
        record.m_speed = m_layout.m_defaultSpeed;
        record.m_colorful = 1;
        record.m_colorValue = LightColours::kRed;
        record.m_configFunc = entry.m_configFunc;
        if (m_db.InsertLightMode(record) <= 0) {
            transaction.Rollback();
            return false;
        }
    }
    m_db.SelectLightMode(m_profile, m_layout.m_defaultMode);
    return transaction.End();
}

LightResult LightingService::LoadLightPage()
{
    m_page.m_effects.clear();
    m_page.m_selected = -1;
    if (m_profile <= 0)
        return LightResult::NoEffect;
    if (!InitialiseEffects())
        return LightResult::Failed;
    std::vector<LightModeRecord> records;
    m_db.LoadLightModes(m_profile, records);
    const bool wireless = m_connectionMode == 1 || m_connectionMode == 2;
    for (const LightModeRecord& record : records) {
        if (wireless && (record.m_configFunc & kLightMusic))
            continue;
        m_page.m_effects.push_back({record.m_mode, std::atoi(record.m_name.c_str()), record.m_configFunc});
    }
    if (m_page.m_effects.empty())
        return LightResult::NoEffect;
    // Selecting an effect clears the mark of every other profile, so a profile shown again may have
    // none (or one the list leaves out): it then shows the layout's default effect, else the first.
    auto find = [this](int mode) {
        return std::find_if(m_page.m_effects.begin(), m_page.m_effects.end(),
                            [mode](const LightEffectEntry& e) { return e.m_mode == mode; });
    };
    auto it = find(m_db.GetSelectedLightMode(m_profile));
    if (it == m_page.m_effects.end())
        it = find(m_layout.m_defaultMode);
    if (it == m_page.m_effects.end())
        it = m_page.m_effects.begin();
    m_page.m_selected = static_cast<int>(it - m_page.m_effects.begin());
    return ShowEffect();
}

LightResult LightingService::ShowEffect()
{
    if (m_page.m_selected < 0 || m_page.m_selected >= static_cast<int>(m_page.m_effects.size()))
        return LightResult::NoEffect;
    const int mode = m_page.m_effects[m_page.m_selected].m_mode;
    LightModeRecord record;
    if (!m_db.LoadLightMode(m_profile, mode, record))
        return LightResult::NoEffect;
    m_page.m_currentMode = mode;
    m_page.m_configFunc = record.m_configFunc;
    if (!m_db.SelectLightMode(m_profile, mode))
        return LightResult::Failed;
    return ShowRecord(record);
}

bool LightingService::CurrentRecord(LightModeRecord& record) const
{
    return m_page.m_currentMode != 0 && m_db.LoadLightMode(m_profile, m_page.m_currentMode, record);
}

LightResult LightingService::LoadCurrent(LightModeRecord& record) const
{
    return CurrentRecord(record) ? LightResult::Done : LightResult::NoEffect;
}

LightResult LightingService::ShowRecord(const LightModeRecord& record)
{
    m_page.m_preview = LightPreview{};
    m_page.m_preview.m_mode = kPreviewEffect;
    ShowEditors(record);
    if (record.m_configFunc & kLightCustomKeys)
        ShowCustomView(record);
    else
        m_page.m_customVisible = false;
    const bool music = (record.m_configFunc & kLightMusic) != 0;
    m_page.m_musicPanelVisible = music;
    m_music.SetMusicEffectShown(music);
    m_page.m_preview.m_screenEffect = (record.m_configFunc & kLightScreen) != 0;
    if (m_page.m_preview.m_screenEffect)
        m_page.m_preview.m_mode = kPreviewStill;
    return LightResult::Done;
}

void LightingService::ShowEditors(const LightModeRecord& record)
{
    const int bits = record.m_configFunc;
    m_page.m_brightnessVisible = bits & kLightBrightness;
    m_page.m_brightness = m_page.m_brightnessVisible ? std::clamp(record.m_brightness, 0, m_layout.m_brightnessMax) : 0;
    m_page.m_speedVisible = bits & kLightSpeed;
    m_page.m_speed = m_page.m_speedVisible ? std::clamp(record.m_speed, 0, m_layout.m_speedMax) : 0;
    if (m_page.m_speedVisible)
        m_page.m_preview.m_speed = m_page.m_speed;
    m_page.m_horizontalVisible = bits & kLightDirectionHorizontal;
    m_page.m_leftChecked = !m_page.m_horizontalVisible || record.m_direction == 1;
    m_page.m_verticalVisible = bits & kLightDirectionVertical;
    m_page.m_topChecked = !m_page.m_verticalVisible || record.m_direction == 2;
    m_page.m_rgbVisible = bits & (kLightRgbEditors | kLightCustomKeys);
    ShowColour(record.m_colorValue & kColourMask);
    m_page.m_colourButtonVisible = bits & kLightColourButton;
    m_page.m_multicolour = record.m_colorful == 1;
    m_page.m_preview.m_colorful = record.m_colorful == 1;
    m_page.m_preview.m_colour = record.m_colorValue & kColourMask;
    for (size_t i = 0; i < kColourSetBits.size(); ++i)
        m_page.m_colourSetVisible[i] = bits & kColourSetBits[i];
    m_page.m_colourIndex = record.m_colorIndex;
    m_page.m_optionsVisible = bits & kLightOptionGroups;
    for (int row = 0; row < kOptionRows; ++row) {
        const int value = OptionValue(record, row);
        m_page.m_optionChoice[row] = m_page.m_optionsVisible && value < kOptionChoices ? value : -1;
    }
}

void LightingService::ShowColour(int colour)
{
    m_page.m_buttonColour = colour;
    m_page.m_rgb = Channels(colour);
}

void LightingService::ShowCustomView(const LightModeRecord& record)
{
    m_page.m_preview.m_mode = kPreviewCustom;
    m_page.m_customVisible = true;
    m_page.m_customLabel = kTextPaintKeys;
    m_page.m_rgbVisible = true;
    m_page.m_keyColours.clear();
    for (const LightKeyItem& key : m_layout.m_keys)
        m_page.m_keyColours[key.m_code] = 0;
    for (const auto& [code, colour] : StoredKeyColours())
        if (m_page.m_keyColours.count(code))
            m_page.m_keyColours[code] = colour;
    m_page.m_paintColour = record.m_colorValue & kColourMask;
}

// ---- Effect selection and parameters ----------------------------------------------------------

LightResult LightingService::OnEffectListSelection(int index)
{
    if (index < 0 || index >= static_cast<int>(m_page.m_effects.size()))
        return LightResult::NotOffered;
    m_page.m_selected = index;
    if (LightResult result = ShowEffect(); result != LightResult::Done)
        return result;
    const int bits = m_page.m_configFunc;
    if (!(bits & kLightCustomKeys) && (bits & kLightMusic)) {
        m_music.TakeControls();
        m_page.m_preview.m_mode = kPreviewStill;
        return LightResult::Done;
    }
    if (!(bits & kLightCustomKeys) && (bits & kLightScreen))
        return LightResult::Done;
    m_jobs.QueueLightingUpload();
    m_jobs.ShowWaitDialog();
    return LightResult::Done;
}

LightResult LightingService::SelectEffectMode(int mode)
{
    for (size_t i = 0; i < m_page.m_effects.size(); ++i)
        if (m_page.m_effects[i].m_mode == mode)
            return OnEffectListSelection(static_cast<int>(i));
    return LightResult::NotOffered;
}

LightResult LightingService::StoreAndUpload(const LightModeRecord& record, bool withWaitDialog)
{
    if (!m_db.UpdateLightMode(m_profile, record.m_mode, record))
        return LightResult::Failed;
    // An upload that has not started yet reads the record when it runs and so carries this change.
    if (m_jobs.LightingUploadWaiting())
        return LightResult::Done;
    m_jobs.QueueLightingUpload();
    if (withWaitDialog)
        m_jobs.ShowWaitDialog();
    return LightResult::Done;
}

LightResult LightingService::OnBrightness(int value)
{
    LightModeRecord record;
    if (!Offers(kLightBrightness))
        return LightResult::NotOffered;
    if (LightResult result = LoadCurrent(record); result != LightResult::Done)
        return result;
    record.m_brightness = std::clamp(value, 0, m_layout.m_brightnessMax);
    m_page.m_brightness = record.m_brightness;
    return StoreAndUpload(record, true);
}

LightResult LightingService::OnSpeed(int value)
{
    LightModeRecord record;
    if (!Offers(kLightSpeed))
        return LightResult::NotOffered;
    if (LightResult result = LoadCurrent(record); result != LightResult::Done)
        return result;
    record.m_speed = std::clamp(value, 0, m_layout.m_speedMax);
    m_page.m_speed = record.m_speed;
    m_page.m_preview.m_speed = record.m_speed;
    return StoreAndUpload(record, true);
}

LightResult LightingService::OnDirection(int controlId)
{
    const bool horizontal = controlId == kIdDirectionLeft || controlId == kIdDirectionRight;
    const bool vertical = controlId == kIdDirectionTop || controlId == kIdDirectionBottom;
    if ((!horizontal || !Offers(kLightDirectionHorizontal)) && (!vertical || !Offers(kLightDirectionVertical)))
        return LightResult::NotOffered;
    LightModeRecord record;
    if (LightResult result = LoadCurrent(record); result != LightResult::Done)
        return result;
    // The pairs read the value the other way round: left is 1, top is 2.
    if (horizontal)
        record.m_direction = controlId == kIdDirectionLeft ? 1 : 2;
    else
        record.m_direction = controlId == kIdDirectionTop ? 2 : 1;
    m_page.m_leftChecked = !m_page.m_horizontalVisible || record.m_direction == 1;
    m_page.m_topChecked = !m_page.m_verticalVisible || record.m_direction == 2;
    return StoreAndUpload(record, true);
}

LightResult LightingService::OnColourSetButton(int controlId)
{
    for (size_t set = 0; set < kColourSetFirstIds.size(); ++set) {
        const int index = controlId - kColourSetFirstIds[set];
        if (index < 0 || index > kLastColourIndex)
            continue;
        if (!Offers(kColourSetBits[set]))
            return LightResult::NotOffered;
        LightModeRecord record;
        if (LightResult result = LoadCurrent(record); result != LightResult::Done)
            return result;
        record.m_colorIndex = index;
        m_page.m_colourIndex = index;
        return StoreAndUpload(record, true);
    }
    return LightResult::NotOffered;
}

LightResult LightingService::OnOptionChoice(int controlId)
{
    const int offset = controlId - kIdOptionFirst;
    const int row = offset / kOptionRowStride;
    const int choice = offset % kOptionRowStride;
    if (offset < 0 || row >= kOptionRows || choice >= kOptionChoices || !Offers(kLightOptionGroups))
        return LightResult::NotOffered;
    LightModeRecord record;
    if (LightResult result = LoadCurrent(record); result != LightResult::Done)
        return result;
    SetOptionValue(record, row, choice);
    m_page.m_optionChoice[row] = choice;
    return StoreAndUpload(record, false);
}

LightResult LightingService::OnCustomSlot(int index)
{
    if (index < 0 || index >= kCustomSlotCount)
        return LightResult::NotOffered;
    m_page.m_customSlot = index;
    // Only the custom effect's upload carries the slot, so only then does the keyboard need it again.
    if (!Offers(kLightCustomKeys) || m_jobs.LightingUploadWaiting())
        return LightResult::Done;
    m_jobs.QueueLightingUpload();
    return LightResult::Done;
}

// ---- Colours ----------------------------------------------------------------------------------

LightResult LightingService::SetEffectColour(int colour)
{
    if (!Offers(kLightRgbEditors | kLightColourButton | kLightCustomKeys))
        return LightResult::NotOffered;
    LightModeRecord record;
    if (LightResult result = LoadCurrent(record); result != LightResult::Done)
        return result;
    return StoreColour(record, colour & kColourMask);
}

// Shows and stores `colour`; the custom effect only paints with it, any other effect is uploaded.
// A colour chosen while multicolour is on turns multicolour off in the same store.
LightResult LightingService::StoreColour(LightModeRecord& record, int colour)
{
    ShowColour(colour);
    record.m_colorValue = colour;
    if (record.m_configFunc & kLightCustomKeys) {
        m_page.m_paintColour = colour;
        return m_db.UpdateLightMode(m_profile, record.m_mode, record) ? LightResult::Done : LightResult::Failed;
    }
    if (record.m_configFunc & kLightColourButton) {
        record.m_colorful = 0;
        m_page.m_multicolour = false;
    }
    m_page.m_preview.m_colorful = record.m_colorful == 1;
    m_page.m_preview.m_colour = colour;
    return StoreAndUpload(record, false);
}

LightResult LightingService::OnColourWheel(int colour)
{
    if (!m_page.m_rgbVisible)
        return LightResult::NotOffered;
    return SetEffectColour(colour);
}

LightResult LightingService::OnPreset(int controlId)
{
    const int index = controlId - kIdPresetFirst;
    if (!m_page.m_rgbVisible || index < 0 || index >= kPresetCount)
        return LightResult::NotOffered;
    return SetEffectColour(LightColours::kPresets[index]);
}

LightResult LightingService::OnRgbChannel(int controlId, int value)
{
    if (controlId < kIdRedSlider || controlId > kIdBlueField || !m_page.m_rgbVisible)
        return LightResult::NotOffered;
    std::array<int, 3> rgb = m_page.m_rgb;
    rgb[(controlId - kIdRedSlider) % 3] = std::clamp(value, 0, kMaxChannel);
    return SetEffectColour(ColourOf(rgb));
}

LightResult LightingService::OnMulticolour(bool checked, bool byUserClick)
{
    if (!Offers(kLightColourButton))
        return LightResult::NotOffered;
    LightModeRecord record;
    if (LightResult result = LoadCurrent(record); result != LightResult::Done)
        return result;
    record.m_colorful = checked ? 1 : 0;
    if (!checked && byUserClick)
        record.m_colorValue = LightColours::kRed;
    const int colour = record.m_colorValue & kColourMask;
    ShowColour(colour);
    m_page.m_multicolour = checked;
    if (record.m_configFunc & kLightCustomKeys) {
        m_page.m_paintColour = colour;
    } else {
        m_page.m_preview.m_colorful = checked;
        m_page.m_preview.m_colour = colour;
    }
    return StoreAndUpload(record, false);
}

// ---- Several parameters at once ---------------------------------------------------------------

std::string LightingService::CheckChange(const LightSettingsChange& change) const
{
    const std::pair<bool, int> needs[] = {
        {change.m_brightness.has_value(), kLightBrightness},
        {change.m_speed.has_value(), kLightSpeed},
        {change.m_direction.has_value(), kLightDirectionHorizontal | kLightDirectionVertical},
        {change.m_colour.has_value(), kLightRgbEditors | kLightColourButton | kLightCustomKeys},
        {change.m_colorful.has_value(), kLightColourButton},
        {change.m_colourIndex.has_value(), kLightColourSet1 | kLightColourSet2 | kLightColourSet3},
    };
    const char* names[] = {"brightness", "speed", "direction", "color", "colorful", "colorindex"};
    for (size_t i = 0; i < std::size(needs); ++i)
        if (needs[i].first && !Offers(needs[i].second))
            return names[i];
    for (int row = 0; row < kOptionRows; ++row)
        if (change.m_options[row] && !Offers(kLightOptionGroups))
            return "option" + std::to_string(row + 1);
    return {};
}

LightResult LightingService::ApplySettings(const LightSettingsChange& change, std::string& why)
{
    why = CheckChange(change);
    if (!why.empty())
        return LightResult::NotOffered;
    LightModeRecord record;
    if (LightResult result = LoadCurrent(record); result != LightResult::Done)
        return result;
    ApplyChange(change, record);
    if (!m_db.UpdateLightMode(m_profile, record.m_mode, record))
        return LightResult::Failed;
    ShowEditors(record);
    if (Offers(kLightCustomKeys))
        m_page.m_paintColour = record.m_colorValue & kColourMask;
    // On the custom effect a colour only paints; anything else the keyboard must hear about.
    const bool onlyPaintColour = Offers(kLightCustomKeys) && change.m_colour && !change.m_brightness &&
                                 !change.m_speed && !change.m_direction && !change.m_colourIndex && !change.m_colorful &&
                                 std::none_of(change.m_options.begin(), change.m_options.end(),
                                              [](const std::optional<int>& o) { return o.has_value(); });
    if (onlyPaintColour || (Offers(kLightMusic | kLightScreen) && !Offers(kLightCustomKeys)))
        return LightResult::Done;
    return StoreAndUpload(record, true);
}

void LightingService::ApplyChange(const LightSettingsChange& change, LightModeRecord& record) const
{
    if (change.m_brightness)
        record.m_brightness = std::clamp(*change.m_brightness, 0, m_layout.m_brightnessMax);
    if (change.m_speed)
        record.m_speed = std::clamp(*change.m_speed, 0, m_layout.m_speedMax);
    if (change.m_direction)
        record.m_direction = std::clamp(*change.m_direction, 1, 2);
    if (change.m_colourIndex)
        record.m_colorIndex = std::clamp(*change.m_colourIndex, 0, kLastColourIndex);
    for (int row = 0; row < kOptionRows; ++row)
        if (change.m_options[row])
            SetOptionValue(record, row, std::clamp(*change.m_options[row], 0, kOptionChoices - 1));
    if (change.m_colour) {
        record.m_colorValue = *change.m_colour & kColourMask;
        if (Offers(kLightColourButton))
            record.m_colorful = 0;
    }
    if (change.m_colorful)
        record.m_colorful = *change.m_colorful ? 1 : 0;
}

// ---- Per-key colours --------------------------------------------------------------------------

LightResult LightingService::PaintKey(int keyCode)
{
    return SetKeyColour(keyCode, m_page.m_paintColour);
}

LightResult LightingService::SetKeyColour(int keyCode, int colour)
{
    if (!m_page.m_customVisible)
        return LightResult::Refused;
    auto it = m_page.m_keyColours.find(keyCode);
    if (it == m_page.m_keyColours.end())
        return LightResult::NotOffered;
    it->second = colour & kColourMask;
    return LightResult::Done;
}

std::map<int, int> LightingService::StoredKeyColours() const
{
    std::vector<KeyLightRecord> rows;
    m_db.LoadKeyLights(ProfileDatabase::kCustomLightId, rows);
    std::map<int, int> colours;
    for (const KeyLightRecord& row : rows)
        colours[row.m_keyCode] = row.m_keyRgb & kColourMask;
    return colours;
}

LightResult LightingService::SaveKeyColours()
{
    if (!Offers(kLightCustomKeys) || !m_page.m_customVisible || m_layout.m_keys.empty())
        return LightResult::Refused;
    std::vector<KeyLightRecord> rows;
    for (const LightKeyItem& key : m_layout.m_keys) {
        KeyLightRecord row;
        row.m_profile = m_profile;
        row.m_lightId = ProfileDatabase::kCustomLightId;
        row.m_keyCode = key.m_code;
        row.m_keyRgb = m_page.m_keyColours[key.m_code];
        rows.push_back(row);
    }
    if (!WriteKeyColours(m_db, rows))
        return LightResult::Failed;
    m_jobs.QueueKeyColourUpload();
    m_jobs.ShowWaitDialog();
    return LightResult::Done;
}

LightResult LightingService::StoreKeyColours(const std::map<int, int>& colours)
{
    if (m_layout.m_keys.empty())
        return LightResult::Refused;
    std::map<int, int> merged = StoredKeyColours();
    for (const auto& [code, colour] : colours)
        merged[code] = colour & kColourMask;
    std::vector<KeyLightRecord> rows;
    for (const LightKeyItem& key : m_layout.m_keys) {
        KeyLightRecord row;
        row.m_profile = m_profile;
        row.m_lightId = ProfileDatabase::kCustomLightId;
        row.m_keyCode = key.m_code;
        row.m_keyRgb = merged.count(key.m_code) ? merged[key.m_code] : 0;
        rows.push_back(row);
    }
    if (!WriteKeyColours(m_db, rows))
        return LightResult::Failed;
    if (m_page.m_customVisible)
        for (auto& [code, colour] : m_page.m_keyColours)
            colour = merged.count(code) ? merged[code] : 0;
    return LightResult::Done;
}
