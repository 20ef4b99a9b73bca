// The keyboard layout file of a model: page flags, lighting defaults and effects, key positions, key matrix.
#include "device/KeyboardLayout.h"

#include <cctype>

#include "markup/MarkupDocument.h"
#include "platform/NumberText.h"

namespace {

// The pictures and the page flag that enables each.
constexpr std::pair<KeyboardPicture, uint32_t> kPictures[] = {
    {KeyboardPicture::KeyAssignment, kPageKeyAssignment},
    {KeyboardPicture::Lighting, kPageLighting},
    {KeyboardPicture::Settings, kPageSettings},
};

int Decimal(const MarkupDocument& doc, const char* name)
{
    return ParseDecimalInt(doc.GetAttribute(name));
}

bool DigitsOnly(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

void ReadMenu(MarkupDocument& doc, KeyboardDef& def, KeyboardLayoutView* view)
{
    if (!doc.FindElement("menu"))
        return;
    def.m_pageFlags = kPageKeyAssignment | kPageSettings;
    if (Decimal(doc, "macro") == 1)
        def.m_pageFlags |= kPageMacro;
    if (Decimal(doc, "light_mode") == 1)
        def.m_pageFlags |= kPageLighting;
    if (view) {
        view->SetTabVisible(1, def.m_pageFlags & kPageKeyAssignment);
        view->SetTabVisible(2, def.m_pageFlags & kPageMacro);
        view->SetTabVisible(3, def.m_pageFlags & kPageLighting);
        view->SetTabVisible(7, def.m_pageFlags & kPageSettings);
    }
}

void ReadFirmware(MarkupDocument& doc, KeyboardDef& def, KeyboardLayoutView* view)
{
    if (!doc.FindElement("firmware"))
        return;
    def.m_firmwareVersion = doc.GetAttribute("version");
    def.m_firmwareFile = doc.GetAttribute("file");
    def.m_firmwareAddress = doc.GetAttribute("url");
    if (view)
        view->SetFirmwareButtonVisible(!def.m_firmwareVersion.empty() && !def.m_firmwareFile.empty());
}

void ReadLight(MarkupDocument& doc, KeyboardDef& def, int currentProfile, KeyboardLayoutView* view)
{
    if (!doc.FindElement("light"))
        return;
    def.m_perKeyRgb = Decimal(doc, "rgb_keyboard") == 1;
    def.m_defaultLightMode = Decimal(doc, "default_mode");
    def.m_defaultBrightness = Decimal(doc, "default_brightness");
    def.m_defaultSpeed = Decimal(doc, "default_speed");
    if (view)
        view->SetLightSliderMaxima(Decimal(doc, "brightness_max"), Decimal(doc, "speed_max"));
    def.m_lightModes.clear();
    doc.IntoElement();
    while (doc.FindElement("info")) {
        LightModeRecord entry;
        entry.m_profile = currentProfile;
        entry.m_name = doc.GetAttribute("name");
        entry.m_mode = Decimal(doc, "mode");
        entry.m_brightness = def.m_defaultBrightness;
        entry.m_speed = def.m_defaultSpeed;
        entry.m_colorful = 1;
        entry.m_colorValue = 255;
        entry.m_configFunc = Decimal(doc, "attribute");
        def.m_lightModes.push_back(entry);
    }
    doc.OutOfElement();
}

void ResetKeys(KeyboardDef& def, KeyboardLayoutView* view)
{
    def.m_keyPositions.clear();
    def.m_lightPositions.clear();
    def.m_matrixRows = 0;
    def.m_matrixColumns = 0;
    def.m_keyMatrix = KeyboardDef::EmptyMatrix();
    if (!view)
        return;
    for (auto [picture, flag] : kPictures) {
        if (def.m_pageFlags & flag)
            view->ClearKeyItems(picture);
    }
}

void ReadKey(MarkupDocument& doc, KeyboardDef& def, KeyboardLayoutView* view)
{
    LayoutKeyItem item;
    item.m_code = ParseHexInt(doc.GetAttribute("code"));
    item.m_name = doc.GetAttribute("name");
    item.m_description = doc.GetAttribute("desc");
    def.m_keyPositions[item.m_code] = Decimal(doc, "key_index");
    def.m_lightPositions[item.m_code] = Decimal(doc, "light_index");
    // A position outside the matrix would write past it; such a key simply has no matrix place.
    int row = 0, column = 0;
    if (ParseRowCol(doc.GetAttribute("row_col"), row, column))
        def.m_keyMatrix[row][column] = static_cast<uint8_t>(item.m_code & 0xFF);
    item.m_rect = ParseKeyRect(doc.GetAttribute("rect"));
    if (!view)
        return;
    for (auto [picture, flag] : kPictures) {
        if (def.m_pageFlags & flag)
            view->AddKeyItem(picture, item);
    }
}

void ReadKeyboard(MarkupDocument& doc, KeyboardDef& def, KeyboardLayoutView* view)
{
    if (!doc.FindElement("Keyboard"))
        return;
    int x = Decimal(doc, "xpos");
    int y = Decimal(doc, "ypos");
    int width = Decimal(doc, "width");
    int height = Decimal(doc, "height");
    std::string image = "keyboard/" + doc.GetAttribute("image");
    def.m_matrixRows = Decimal(doc, "row_count");
    def.m_matrixColumns = Decimal(doc, "col_count");
    if (view) {
        for (auto [picture, flag] : kPictures) {
            if (def.m_pageFlags & flag)
                view->SetKeyboardPicture(picture, {x, y, x + width, y + height}, image, width, height);
        }
    }
    doc.IntoElement();
    if (!doc.FindElement("KeyItems"))
        return;
    doc.IntoElement();
    while (doc.FindElement("key"))
        ReadKey(doc, def, view);
}

} // namespace

std::array<std::array<uint8_t, kKeyMatrixColumns>, kKeyMatrixRows> KeyboardDef::EmptyMatrix()
{
    std::array<std::array<uint8_t, kKeyMatrixColumns>, kKeyMatrixRows> matrix;
    for (auto& row : matrix)
        row.fill(kNoKey);
    return matrix;
}

bool ParseRowCol(const std::string& text, int& row, int& column)
{
    if (text.size() < 3)
        return false;
    std::string rowText = text.substr(0, 1);
    std::string columnText = text.size() == 3 ? text.substr(2) : text.substr(text.size() - 2);
    if (!DigitsOnly(rowText) || !DigitsOnly(columnText))
        return false;
    row = rowText[0] - '0';
    column = ParseDecimalInt(columnText);
    return row < kKeyMatrixRows && column < kKeyMatrixColumns;
}

LayoutRect ParseKeyRect(const std::string& text)
{
    std::string rest = text;
    auto next = [&rest]() {
        size_t hash = rest.find('#');
        if (hash == std::string::npos)
            return 0;
        int value = ParseDecimalInt(rest.substr(0, hash));
        rest.erase(0, hash + 1);
        return value;
    };
    int left = next();
    int top = next();
    int width = next();
    int height = ParseDecimalInt(rest);
    return {left, top, left + width, top + height};
}

bool LoadKeyboardLayoutFile(KeyboardDef& def, const std::string& path, int currentProfile, KeyboardLayoutView* view)
{
    MarkupDocument doc;
    if (!doc.LoadFile(path) || !doc.FindElement("device.info"))
        return false;
    doc.IntoElement();
    ReadMenu(doc, def, view);
    if (doc.FindElement("function"))
        def.m_sleepTimeSupported = Decimal(doc, "sleep_time") == 1;
    ReadFirmware(doc, def, view);
    ReadLight(doc, def, currentProfile, view);
    ResetKeys(def, view);
    ReadKeyboard(doc, def, view);
    return true;
}

bool LoadKeyboardLayout(KeyboardDef& def, int deviceType, const LayoutEnvironment& environment)
{
    def.m_firmwareAddress.clear();
    std::string layoutName;
    std::string keyboardName;
    if (environment.m_keyboards) {
        for (const DeviceDescriptor& model : *environment.m_keyboards) {
            if (model.m_deviceType == deviceType) {
                layoutName = model.m_layoutName;
                keyboardName = model.m_name;
                break;
            }
        }
    }
    def.m_deviceType = deviceType;
    if (environment.m_switchDatabase)
        environment.m_switchDatabase(keyboardName);
    def.m_keyboardName = keyboardName;
    // A model without a layout name names no file; "layouts/.xml" is not looked up.
    if (layoutName.empty())
        return false;
    return LoadKeyboardLayoutFile(def, environment.m_moduleFolder + "layouts/" + layoutName + ".xml",
                                  environment.m_currentProfile, environment.m_view);
}
