// Choices and stored rows of the assignment dialog's function kinds.
#include "keys/CustomKeyModel.h"

#include "app/TextIds.h"
#include "device/KeyTables.h"
#include "keys/NameRules.h"
#include "platform/LanguageText.h"
#include "store/ProfileDatabase.h"

#include <filesystem>

CustomKeyModel::CustomKeyModel(ProfileDatabase& database, int keyCode, int profile, AssignmentKind kind)
    : m_db(database), m_keyCode(keyCode), m_profile(profile), m_kind(kind) {
    FillChoices();
}

int CustomKeyModel::TitleText() const {
    switch (m_kind) {
    case AssignmentKind::KeyCombination:
        return TXT_KEY_COMBINATION;
    case AssignmentKind::Macro:
        return TXT_MACRO_FUNCTION;
    case AssignmentKind::Mouse:
        return TXT_MOUSE_FUNCTION;
    case AssignmentKind::Further:
        return TXT_MULTIMEDIA_FUNCTION;
    case AssignmentKind::Program:
        return TXT_RUN_PROGRAM;
    case AssignmentKind::WebAddress:
        return TXT_OPEN_WEBSITE;
    case AssignmentKind::Text:
        return TXT_TYPE_TEXT;
    case AssignmentKind::ProfileSwitch:
        return TXT_SWITCH_PROFILE;
    case AssignmentKind::Shortcut:
        break;
    }
    return TXT_SHORTCUT_FUNCTION;
}

void CustomKeyModel::FillChoices() {
    switch (m_kind) {
    case AssignmentKind::Macro: {
        std::vector<MacroRecord> macros;
        m_db.LoadMacros(macros);
        for (const MacroRecord& macro : macros)
            m_choices.push_back({macro.m_macroId, DisplayName(NamedList::Macros, macro.m_name)});
        break;
    }
    case AssignmentKind::Shortcut:
        for (int i = 1; i <= kShortcutFunctionCount; ++i)
            m_choices.push_back({i, LoadText(kShortcutTextBase + i)});
        break;
    case AssignmentKind::Mouse:
        for (const MouseButtonText& mouse : kMouseButtonTexts)
            m_choices.push_back({mouse.value, LoadText(mouse.text)});
        break;
    case AssignmentKind::Further:
        for (int i = 1; i <= kFurtherFunctionCount; ++i)
            m_choices.push_back({i, LoadText(TXT_MEDIA_PLAY_PAUSE + i - 1)});
        break;
    case AssignmentKind::ProfileSwitch: {
        std::vector<ProfileRecord> profiles;
        m_db.LoadProfiles(profiles);
        for (const ProfileRecord& profile : profiles)
            m_choices.push_back({profile.m_profileId, DisplayName(NamedList::Profiles, profile.m_name)});
        break;
    }
    default:
        break;
    }
}

ServiceOutcome CustomKeyModel::Store(int type, int value, int value2, const std::string& description) {
    KeyAssignmentRecord row;
    row.m_profile = m_profile;
    row.m_keyCode = m_keyCode;
    row.m_fnLayer = 0;
    row.m_macroType = type;
    row.m_macroValue = value;
    row.m_macroValue2 = value2;
    row.m_macroDesc = description;
    m_storedKeyId = m_db.SaveKeyAssignment(row);
    return m_storedKeyId > 0 ? ServiceOutcome::Done() : ServiceOutcome::Failed();
}

ServiceOutcome CustomKeyModel::ApplyChoice(int value) {
    const AssignmentChoice* choice = nullptr;
    for (const AssignmentChoice& c : m_choices)
        if (c.m_value == value) choice = &c;
    if (choice == nullptr) return ServiceOutcome::Ignored();
    if (m_kind == AssignmentKind::Macro) {
        std::vector<MacroEventRecord> events;
        if (m_db.LoadMacroEvents(value, events) == 0)
            return ServiceOutcome::Refused(TXT_MACRO_FUNCTION, TXT_MACRO_HAS_NO_EVENTS);
    }
    if (m_kind == AssignmentKind::ProfileSwitch) {
        std::string stored;
        m_db.GetProfileName(value, stored);
        return StoreExtra(stored, std::to_string(value));
    }
    return Store(static_cast<int>(m_kind), value, 0, choice->m_text);
}

std::string CustomKeyModel::CombinationText(int usage, int modifiers) {
    static constexpr struct {
        int bit;
        const char* name;
    } kOrder[] = {{MOD_SHIFT, "Shift"}, {MOD_CTRL, "Ctrl"}, {MOD_WIN, "Win"}, {MOD_ALT, "Alt"}};
    std::string prefix;
    for (const auto& modifier : kOrder)
        if (modifiers & modifier.bit) prefix += (prefix.empty() ? "" : " + ") + std::string(modifier.name);
    const std::string key = GetKeyName(usage);
    return prefix.empty() ? key : prefix + " + " + key;
}

ServiceOutcome CustomKeyModel::ApplyCombination(int usage, int modifiers) {
    if (m_kind != AssignmentKind::KeyCombination) return ServiceOutcome::Ignored();
    if (usage <= 0 || usage >= 232) return ServiceOutcome::Refused(TXT_KEY_COMBINATION, TXT_FILL_IN_FIRST);
    return Store(2, usage, modifiers & (MOD_CTRL | MOD_SHIFT | MOD_ALT | MOD_WIN),
                 CombinationText(usage, modifiers));
}

ServiceOutcome CustomKeyModel::ApplyText(const std::string& text) {
    if (m_kind != AssignmentKind::Program && m_kind != AssignmentKind::WebAddress &&
        m_kind != AssignmentKind::Text)
        return ServiceOutcome::Ignored();
    if (text.empty()) return ServiceOutcome::Refused(TitleText(), TXT_FILL_IN_FIRST);
    if (m_kind == AssignmentKind::Program) {
        std::string label = std::filesystem::path(text).filename().string();
        return StoreExtra(label.empty() ? text : label, text);
    }
    return StoreExtra(text, "");
}

ServiceOutcome CustomKeyModel::StoreExtra(const std::string& description, const std::string& parameter) {
    const int type = static_cast<int>(m_kind);
    const int extraId = m_db.InsertKeyExtra(description, parameter, type);
    if (extraId <= 0) return ServiceOutcome::Failed();
    return Store(type, extraId, 0, description);
}
