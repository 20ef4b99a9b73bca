// The assignment dialog without its window: the choices of one function kind and the row that
// Apply stores for the dialog's key and profile.
#pragma once

#include "keys/ServiceOutcome.h"

#include <string>
#include <vector>

class ProfileDatabase;

// Function kinds the dialog can assign; the values are the function types they store.
enum class AssignmentKind {
    KeyCombination = 2,
    Macro = 3,
    Mouse = 5,
    Further = 6,
    Shortcut = 7,
    Program = 8,
    WebAddress = 9,
    Text = 10,
    ProfileSwitch = 11,
};

// Modifier bits of a key combination (second value of a type 2 row).
enum ModifierBits { MOD_CTRL = 1, MOD_SHIFT = 2, MOD_ALT = 4, MOD_WIN = 8 };

struct AssignmentChoice {
    int m_value = 0;
    std::string m_text;
};

class CustomKeyModel {
public:
    CustomKeyModel(ProfileDatabase& database, int keyCode, int profile, AssignmentKind kind);

    // Text id of the dialog title and of the function type shown in its type box.
    int TitleText() const;
    // The list of choices for kinds Macro, Mouse, Further, Shortcut and ProfileSwitch (empty for
    // the others), in the order the dialog lists them; the first is preselected.
    const std::vector<AssignmentChoice>& Choices() const { return m_choices; }

    // Stores the choice with value `value` (one of Choices()).
    ServiceOutcome ApplyChoice(int value);
    // Stores a key combination: HID usage `usage` with ModifierBits `modifiers`.
    ServiceOutcome ApplyCombination(int usage, int modifiers);
    // Stores a program path, web address or text; refused when it is empty.
    ServiceOutcome ApplyText(const std::string& text);

    // "Shift + Ctrl + A": modifiers in the order Shift, Ctrl, Win, Alt, then the key name.
    static std::string CombinationText(int usage, int modifiers);

    // The key id stored by the last successful Apply; 0 before.
    int StoredKeyId() const { return m_storedKeyId; }

private:
    void FillChoices();
    ServiceOutcome Store(int type, int value, int value2, const std::string& description);
    ServiceOutcome StoreExtra(const std::string& description, const std::string& parameter);

    ProfileDatabase& m_db;
    int m_keyCode;
    int m_profile;
    AssignmentKind m_kind;
    std::vector<AssignmentChoice> m_choices;
    int m_storedKeyId = 0;
};
