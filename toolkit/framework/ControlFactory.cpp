// The class-name table: which names exist at window and panel level, and the constructors registered for them.
#include "TavikUI/ControlFactory.h"

#include "TavikUI/CArea.h"
#include "TavikUI/MPanel.h"
#include "TavikUI/MenuItem.h"

#include <cwchar>
#include <map>
#include <string>

namespace TavikUI {

namespace {

struct ClassRow {
    const wchar_t* name;
    bool window_level;
    bool panel_level;
    bool starts_enabled; // the enabled argument is ignored
};

// "CArea" first, then in table order; the first exact match wins.
constexpr ClassRow kClasses[] = {
    {L"CArea", true, true, true},           {L"MText", true, true, false},
    {L"MPicture", true, true, false},       {L"CPhotoFrame", true, true, false},
    {L"CSliderPicture", true, true, false}, {L"CGifPicture", true, true, false},
    {L"MProgress", true, true, false},      {L"MSlider", true, true, false},
    {L"MLevelCtrl", true, true, false},     {L"MButton", true, true, false},
    {L"CImageButton", true, true, false},   {L"CTextButton", true, true, false},
    {L"CCheckButton", true, true, false},   {L"CRadioButton", true, true, false},
    {L"CColorButton", true, true, false},   {L"MSpinButton", true, true, false},
    {L"CSpinButton", true, true, false},    {L"CSwitchButton", true, true, false},
    {L"CIconButton", true, true, false},    {L"CTimerButton", true, true, false},
    {L"CHelpButton", true, true, false},    {L"MEdit", true, true, false},
    {L"MRichEdit", true, true, false},      {L"MEditEx", true, true, false},
    {L"MComboBox", true, true, false},      {L"MTabCtrl", true, true, false},
    {L"MTabLayout", true, true, false},     {L"MListBox", true, true, false},
    {L"MPalette", true, true, false},       {L"CColorPalette", true, true, false},
    {L"CColorSelect", true, true, false},   {L"CirclePalette", true, true, true},
    {L"CComboBoxList", true, false, true},  {L"MenuItem", true, true, true},
    {L"KeyboardCtrl", true, true, false},   {L"KeyFuncControl", false, true, false},
    {L"DListBox", false, true, false},      {L"CRecordList", false, true, false},
    {L"CDeviceCtrl", true, true, true},     {L"UpgradeButton", false, true, true},
    {L"DownloadButton", false, true, true}, {L"BatteryCtrl", true, false, true},
};

const ClassRow* FindRow(const wchar_t* name) {
    if (!name || !*name)
        return nullptr;
    for (const auto& row : kClasses)
        if (std::wcscmp(row.name, name) == 0)
            return &row;
    return nullptr;
}

std::map<std::wstring, ControlCreator>& Creators() {
    static std::map<std::wstring, ControlCreator> creators = {
        {L"CArea",
         [](MObject* p, unsigned id, CRect rc, const wchar_t*, int visible, int enabled) -> std::unique_ptr<MControl> {
             return std::make_unique<CArea>(p, id, rc, visible, enabled);
         }},
        {L"MenuItem",
         [](MObject* p, unsigned id, CRect rc, const wchar_t* title, int visible,
            int enabled) -> std::unique_ptr<MControl> {
             return std::make_unique<MenuItem>(p, id, rc, title, visible, enabled);
         }},
    };
    return creators;
}

} // namespace

std::unique_ptr<MControl> ControlFactory::Create(CreateLevel level, MObject* parent, const wchar_t* class_name,
                                                 unsigned id, CRect rect, const wchar_t* title, int visible,
                                                 int enabled) {
    if (!IsKnown(class_name, level))
        return nullptr;
    const ClassRow* row = FindRow(class_name);
    auto it = Creators().find(class_name);
    if (it == Creators().end())
        return nullptr;
    return it->second(parent, id, rect, title, visible, row->starts_enabled ? 1 : enabled);
}

bool ControlFactory::Register(const wchar_t* class_name, ControlCreator creator) {
    if (!FindRow(class_name) || !creator)
        return false;
    Creators()[class_name] = creator;
    return true;
}

bool ControlFactory::IsKnown(const wchar_t* class_name, CreateLevel level) {
    const ClassRow* row = FindRow(class_name);
    return row && (level == CreateLevel::Window ? row->window_level : row->panel_level);
}

} // namespace TavikUI
