// Keyboard page logic: marks, key clicks, the context menu, the picker and the stored assignment.
#include "keys/KeyAssignmentService.h"

#include "app/TextIds.h"
#include "keys/NameRules.h"
#include "platform/LanguageText.h"
#include "store/ProfileDatabase.h"

KeyAssignmentService::KeyAssignmentService(ProfileDatabase& database, IPlaybackArm& arm)
    : m_db(database), m_arm(arm) {}

bool KeyAssignmentService::IsCounted(int type) {
    return type == 1 || type == 2 || type == 3 || type == 7 || type == 12;
}

int KeyAssignmentService::TipTitle(int type) {
    switch (type) {
    case 1:
        return TXT_DISABLE_KEY;
    case 2:
    case 12:
        return TXT_TIP_KEY_REMAP;
    case 3:
        return TXT_MACRO_FUNCTION;
    case 5:
        return TXT_MOUSE_FUNCTION;
    case 6:
        return TXT_MULTIMEDIA_FUNCTION;
    case 7:
        return TXT_SHORTCUT_FUNCTION;
    case 8:
        return TXT_RUN_PROGRAM;
    case 9:
        return TXT_OPEN_WEBSITE;
    case 10:
        return TXT_TYPE_TEXT;
    default:
        return 0;
    }
}

std::string KeyAssignmentService::DisplayDescription(const KeyAssignmentRecord& row) const {
    switch (row.m_macroType) {
    case 3: {
        MacroRecord macro;
        if (m_db.LoadMacro(row.m_macroValue, macro)) return DisplayName(NamedList::Macros, macro.m_name);
        return row.m_macroDesc;
    }
    case 5:
        for (const MouseButtonText& mouse : kMouseButtonTexts)
            if (mouse.value == row.m_macroValue) return LoadText(mouse.text);
        return row.m_macroDesc;
    case 7:
        return LoadText(kShortcutTextBase + row.m_macroValue);
    default:
        return row.m_macroDesc;
    }
}

void KeyAssignmentService::ShowProfileKeys(int profile) {
    m_profile = profile;
    SetPickerCheck(0, 0, 0);
    m_marks.clear();
    std::vector<KeyAssignmentRecord> rows;
    m_db.LoadKeyAssignments(profile, m_layer, rows);
    for (const KeyAssignmentRecord& row : rows) {
        KeyMark mark{row.m_keyCode, TipTitle(row.m_macroType), {}, row.m_macroType};
        if (mark.m_tipTitle != 0) mark.m_tipText = DisplayDescription(row);
        m_marks[row.m_keyCode] = mark;
    }
}

ServiceOutcome KeyAssignmentService::RefuseUnassignable() {
    m_selectedKey = -1;
    return ServiceOutcome::Refused(TXT_KEY_ASSIGNMENT_TITLE, TXT_KEY_NOT_ASSIGNABLE);
}

ServiceOutcome KeyAssignmentService::ClickKey(int keyCode) {
    m_currentKey = keyCode;
    m_selectedKey = keyCode;
    if (keyCode < 1) return ServiceOutcome::Ignored();
    if (keyCode == kUnassignableKey) return RefuseUnassignable();
    KeyAssignmentRecord row;
    if (m_db.LoadKeyAssignment(m_profile, m_layer, keyCode, row) && row.m_macroType == 2)
        SetPickerCheck(row.m_macroValue, row.m_macroValue2, row.m_macroValue3);
    return ServiceOutcome::Done();
}

ServiceOutcome KeyAssignmentService::MenuCommand(int command) {
    if (m_currentKey == kUnassignableKey) return RefuseUnassignable();
    switch (command) {
    case KEY_MENU_DEFAULT: {
        SaveAndShowAssignment(KeyAssignmentRecord{});
        SetPickerCheck(0, 0, 0);
        return ServiceOutcome::Done();
    }
    case KEY_MENU_DISABLE: {
        KeyAssignmentRecord row;
        row.m_macroType = 1;
        row.m_macroValue = 1;
        row.m_macroDesc = LoadText(TXT_DISABLE_KEY);
        if (SaveAndShowAssignment(row) < 1) return ServiceOutcome::Failed();
        SetPickerCheck(0, 0, 0);
        // The disabling stays stored even past the limit; the user is only told.
        if (CountCountedAssignments() > kCountedLimit)
            return ServiceOutcome::Warned(TXT_ASSIGNMENT_LIMIT_TITLE, TXT_ASSIGNMENT_LIMIT);
        return ServiceOutcome::Done();
    }
    case KEY_MENU_MACRO:
    case KEY_MENU_FUNCTION:
        if (m_currentKey < 1) return ServiceOutcome::Ignored();
        if (CountCountedAssignments(m_currentKey) >= kCountedLimit)
            return ServiceOutcome::Refused(TXT_ASSIGNMENT_LIMIT_TITLE, TXT_ASSIGNMENT_LIMIT);
        return ServiceOutcome::Done();
    default:
        return ServiceOutcome::Ignored();
    }
}

ServiceOutcome KeyAssignmentService::PickerChoice(const std::optional<PickerItem>& chosen) {
    if (m_currentKey == kUnassignableKey) return RefuseUnassignable();
    if (CountCountedAssignments(m_currentKey) >= kCountedLimit)
        return ServiceOutcome::Refused(TXT_ASSIGNMENT_LIMIT_TITLE, TXT_ASSIGNMENT_LIMIT);
    if (!chosen) return ServiceOutcome::Ignored();
    KeyAssignmentRecord row;
    row.m_macroType = chosen->m_value < kExtendedKeyValue ? 2 : 12;
    row.m_macroValue = chosen->m_value;
    row.m_macroValue2 = chosen->m_value2;
    row.m_macroValue3 = chosen->m_value3;
    row.m_macroDesc = chosen->m_description;
    return SaveAndShowAssignment(row) > 0 ? ServiceOutcome::Done() : ServiceOutcome::Failed();
}

int KeyAssignmentService::SaveAndShowAssignment(KeyAssignmentRecord row) {
    row.m_profile = m_profile;
    row.m_keyCode = m_currentKey;
    row.m_fnLayer = m_layer;
    const int id = m_db.SaveKeyAssignment(row);
    if (id < 1) {
        m_marks.erase(row.m_keyCode);
        m_selectedKey = -1;
        SetPickerCheck(0, 0, 0);
    } else {
        KeyMark mark{row.m_keyCode, TipTitle(row.m_macroType), {}, row.m_macroType};
        if (row.m_macroType != 1 && mark.m_tipTitle != 0) mark.m_tipText = row.m_macroDesc;
        m_marks[row.m_keyCode] = mark;
        if (row.m_macroType == 2 || row.m_macroType == 12)
            SetPickerCheck(row.m_macroValue, row.m_macroValue2, row.m_macroValue3);
    }
    m_arm.ArmSoftwarePlayback();
    return id;
}

void KeyAssignmentService::AssignmentDialogApplied() {
    ShowProfileKeys(m_profile);
    m_arm.ArmSoftwarePlayback();
}

int KeyAssignmentService::CountCountedAssignments(int exceptKey) const {
    std::vector<KeyAssignmentRecord> rows;
    m_db.LoadKeyAssignments(m_profile, m_layer, rows);
    int count = 0;
    for (const KeyAssignmentRecord& row : rows)
        if (IsCounted(row.m_macroType) && (exceptKey == 0 || row.m_keyCode != exceptKey)) ++count;
    return count;
}

void KeyAssignmentService::SetPickerCheck(int value, int value2, int value3) {
    m_pickerCheck = PickerItem{value, value2, value3, {}};
}
