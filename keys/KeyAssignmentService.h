// The keyboard page without a window: which keys carry assignments, key clicks, the context
// menu, the function picker and the one place where an assignment is stored and shown.
#pragma once

#include "keys/IPlaybackArm.h"
#include "keys/ServiceOutcome.h"
#include "store/ProfileRecords.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class ProfileDatabase;

// One assigned key as the keyboard picture shows it.
struct KeyMark {
    int m_keyCode = 0;
    int m_tipTitle = 0;    // text id of the tip title; 0 when the key shows no tip
    std::string m_tipText; // the tip's description
    int m_type = 0;
};

// One item of the function picker: its three values and its description.
struct PickerItem {
    int m_value = 0;
    int m_value2 = 0;
    int m_value3 = 0;
    std::string m_description;
    bool operator==(const PickerItem&) const = default;
};

// Context-menu commands of a key.
enum KeyMenuCommand {
    KEY_MENU_DEFAULT = 606,
    KEY_MENU_DISABLE = 607,
    KEY_MENU_MACRO = 608,
    KEY_MENU_FUNCTION = 609
};

class KeyAssignmentService {
public:
    static constexpr int kCountedLimit = 64; // counted assignments per profile layer
    static constexpr int kUnassignableKey =
        255; // a key code the picture gives to keys that keep their function
    static constexpr int kExtendedKeyValue = 500; // picker values from here on make type 12

    KeyAssignmentService(ProfileDatabase& database, IPlaybackArm& arm);

    // Types 1, 2, 3, 7 and 12 take one of the layer's 64 places.
    static bool IsCounted(int type);
    // Text id of the tip title of a function type; 0 for types without a tip.
    static int TipTitle(int type);
    // The description the key's tip shows for a stored row (macro names and mouse and shortcut
    // texts in the current language).
    std::string DisplayDescription(const KeyAssignmentRecord& row) const;

    // Redraws the page from the database: marks and tips of every assigned key, no picker check.
    void ShowProfileKeys(int profile);
    // The key the picture reports as clicked (its selected key code).
    ServiceOutcome ClickKey(int keyCode);
    // Restore default, disable; for the macro and function commands, whether the dialog may open.
    ServiceOutcome MenuCommand(int command);
    // The picker's chosen item (none when the user pressed outside every item).
    ServiceOutcome PickerChoice(const std::optional<PickerItem>& chosen);
    // Stores `row` for the current profile, layer and key and updates the marks; the stored
    // key id, or 0 when nothing was stored (the key then keeps no mark).
    int SaveAndShowAssignment(KeyAssignmentRecord row);
    // After the assignment dialog ended with OK.
    void AssignmentDialogApplied();

    // Counted assignments of the current profile's layer, leaving out key `exceptKey`.
    int CountCountedAssignments(int exceptKey = 0) const;

    int CurrentProfile() const { return m_profile; }
    int CurrentLayer() const { return m_layer; }
    int CurrentKey() const { return m_currentKey; }
    // The picture's selected key; -1 when its selection was cleared.
    int SelectedKey() const { return m_selectedKey; }
    // The picker item shown as the key's function; all zero when none.
    const PickerItem& PickerCheck() const { return m_pickerCheck; }
    // Marks by key code.
    const std::map<int, KeyMark>& Marks() const { return m_marks; }

private:
    ServiceOutcome RefuseUnassignable();
    void SetPickerCheck(int value, int value2, int value3);

    ProfileDatabase& m_db;
    IPlaybackArm& m_arm;
    int m_profile = 0;
    int m_layer = 0;
    int m_currentKey = 0;
    int m_selectedKey = -1;
    PickerItem m_pickerCheck;
    std::map<int, KeyMark> m_marks;
};
