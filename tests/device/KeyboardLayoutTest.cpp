// The keyboard layout loader, the shipped layout file and the key name table.
#include "device/KeyboardLayout.h"

#include <filesystem>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include "device/KeyTables.h"
#include "platform/Folders.h"
#include "platform/LanguageText.h"

namespace {

const std::string kDataFolder = std::string(MOLVANE_SOURCE_DIR) + "/data/";

// Remembers every call a layout load makes on the window.
class RecordingView : public KeyboardLayoutView {
public:
    void SetTabVisible(int tab, bool visible) override { m_tabs[tab] = visible; }
    void SetFirmwareButtonVisible(bool visible) override { m_firmwareButton = visible ? 1 : 0; }
    void SetLightSliderMaxima(int brightness, int speed) override { m_maxima = {brightness, speed}; }
    void ClearKeyItems(KeyboardPicture picture) override { m_items[picture].clear(); }
    void SetKeyboardPicture(KeyboardPicture picture, const LayoutRect& placement, const std::string& image, int width,
                            int height) override
    {
        m_placement[picture] = placement;
        m_image = image;
        m_size = {width, height};
    }
    void AddKeyItem(KeyboardPicture picture, const LayoutKeyItem& item) override { m_items[picture].push_back(item); }

    std::map<int, bool> m_tabs;
    int m_firmwareButton = -1;
    std::pair<int, int> m_maxima{-1, -1};
    std::map<KeyboardPicture, std::vector<LayoutKeyItem>> m_items;
    std::map<KeyboardPicture, LayoutRect> m_placement;
    std::string m_image;
    std::pair<int, int> m_size;
};

class LayoutFixture : public ::testing::Test {
protected:
    LayoutFixture()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "molvane-layout-XXXXXX").string();
        m_folder = std::string(::mkdtemp(pattern.data())) + "/";
        std::filesystem::create_directories(m_folder + "layouts");
        m_keyboards.push_back({});
        m_keyboards[0].m_name = "Test Board";
        m_keyboards[0].m_deviceType = 201;
        m_keyboards[0].m_layoutName = "test";
    }
    ~LayoutFixture() override { std::filesystem::remove_all(m_folder); }

    // Writes layouts/test.xml and loads it for device type 201.
    bool Load(const std::string& body)
    {
        std::ofstream(m_folder + "layouts/test.xml") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" << body;
        LayoutEnvironment environment;
        environment.m_keyboards = &m_keyboards;
        environment.m_moduleFolder = m_folder;
        environment.m_currentProfile = 7;
        environment.m_switchDatabase = [this](const std::string& name) { m_switched.push_back(name); };
        environment.m_view = &m_view;
        return LoadKeyboardLayout(m_def, 201, environment);
    }

    std::string m_folder;
    std::vector<DeviceDescriptor> m_keyboards;
    std::vector<std::string> m_switched;
    RecordingView m_view;
    KeyboardDef m_def;
};

// Catches page flags reset by a layout without "menu", or tabs touched that should keep their state.
TEST_F(LayoutFixture, LayoutWithoutMenuKeepsPageFlagsAndTabs)
{
    ASSERT_TRUE(Load("<device.info><function sleep_time=\"1\"/></device.info>"));
    EXPECT_EQ(m_def.m_pageFlags, 0x7Fu);
    EXPECT_TRUE(m_view.m_tabs.empty());
    EXPECT_TRUE(m_def.m_sleepTimeSupported);
    EXPECT_EQ(m_switched, std::vector<std::string>{"Test Board"});
    EXPECT_EQ(m_def.m_keyboardName, "Test Board");
}

// Catches a lighting picture filled, or tab 3 shown, for a model without the lighting page.
TEST_F(LayoutFixture, MenuWithoutLightingHidesTabThreeAndItsPicture)
{
    ASSERT_TRUE(Load("<device.info><menu macro=\"1\" light_mode=\"0\"/>"
                     "<Keyboard xpos=\"5\" ypos=\"6\" width=\"100\" height=\"50\" image=\"k.png\"><KeyItems>"
                     "<key code=\"4\" rect=\"1#2#3#4\"/></KeyItems></Keyboard></device.info>"));
    EXPECT_EQ(m_def.m_pageFlags, 0x43u);
    EXPECT_EQ(m_view.m_tabs, (std::map<int, bool>{{1, true}, {2, true}, {3, false}, {7, true}}));
    EXPECT_EQ(m_view.m_items[KeyboardPicture::KeyAssignment].size(), 1u);
    EXPECT_EQ(m_view.m_items[KeyboardPicture::Settings].size(), 1u);
    EXPECT_EQ(m_view.m_items.count(KeyboardPicture::Lighting), 0u);
    EXPECT_EQ(m_view.m_placement[KeyboardPicture::KeyAssignment], (LayoutRect{5, 6, 105, 56}));
    EXPECT_EQ(m_view.m_image, "keyboard/k.png");
}

// Catches the firmware button shown without a file to offer, or the address kept from a previous model.
TEST_F(LayoutFixture, FirmwareButtonNeedsVersionAndFile)
{
    m_def.m_firmwareAddress = "https://old.example/";
    ASSERT_TRUE(Load("<device.info><firmware version=\"1.2\" file=\"\"/></device.info>"));
    EXPECT_EQ(m_view.m_firmwareButton, 0);
    EXPECT_EQ(m_def.m_firmwareVersion, "1.2");
    EXPECT_EQ(m_def.m_firmwareAddress, "");
    ASSERT_TRUE(Load("<device.info><firmware version=\"1.2\" file=\"fw.bin\" url=\"u\"/></device.info>"));
    EXPECT_EQ(m_view.m_firmwareButton, 1);
    EXPECT_EQ(m_def.m_firmwareAddress, "u");
}

// Catches effect entries built with wrong defaults, a stale effect list, or the slider maxima lost.
TEST_F(LayoutFixture, LightEffectsTakeTheLayoutDefaults)
{
    m_def.m_lightModes.resize(5);
    ASSERT_TRUE(Load("<device.info><light rgb_keyboard=\"1\" default_mode=\"3\" default_brightness=\"4\" "
                     "default_speed=\"2x\" brightness_max=\"5\" speed_max=\"6\">"
                     "<info name=\"3001\" mode=\"4\" attribute=\"17\"/><other/><info name=\"3021\" mode=\"12\" "
                     "attribute=\"512\"/></light></device.info>"));
    EXPECT_TRUE(m_def.m_perKeyRgb);
    EXPECT_EQ(m_def.m_defaultLightMode, 3);
    EXPECT_EQ(m_view.m_maxima, std::make_pair(5, 6));
    ASSERT_EQ(m_def.m_lightModes.size(), 2u);
    const LightModeRecord& music = m_def.m_lightModes[1];
    EXPECT_EQ(music.m_name, "3021");
    EXPECT_EQ(music.m_mode, 12);
    EXPECT_EQ(music.m_configFunc, 0x200);
    EXPECT_EQ(music.m_profile, 7);
    EXPECT_EQ(music.m_brightness, 4);
    EXPECT_EQ(music.m_speed, 2);
    EXPECT_EQ(music.m_colorful, 1);
    EXPECT_EQ(music.m_colorValue, 255);
    EXPECT_EQ(music.m_direction + music.m_colorIndex + music.m_status + music.m_lightId, 0);
}

// Catches duplicate key codes dropped from the pictures, or maps keeping the first value.
TEST_F(LayoutFixture, KeysFillMapsMatrixAndPictures)
{
    ASSERT_TRUE(Load("<device.info><Keyboard row_count=\"6\" col_count=\"21\"><KeyItems>"
                     "<key code=\"0x1E\" name=\"1\" desc=\"one\" key_index=\"3\" light_index=\"9\" row_col=\"2#5\" "
                     "rect=\"10#20#30#40\"/>"
                     "<key code=\"1e\" name=\"again\" key_index=\"4\" light_index=\"8\" row_col=\"1-15\"/>"
                     "<key code=\"AF\" row_col=\"9-01\"/><key name=\"no code\" row_col=\"0-0\"/>"
                     "</KeyItems></Keyboard></device.info>"));
    EXPECT_EQ(m_def.m_keyPositions.at(0x1E), 4);
    EXPECT_EQ(m_def.m_lightPositions.at(0x1E), 8);
    EXPECT_EQ(m_def.m_keyPositions.at(0xAF), 0);
    EXPECT_EQ(m_def.m_keyMatrix[2][5], 0x1E);
    EXPECT_EQ(m_def.m_keyMatrix[1][15], 0x1E);
    EXPECT_EQ(m_def.m_keyMatrix[0][0], 0);   // a key without code has code 0
    EXPECT_EQ(m_def.m_matrixRows, 6);
    const auto& items = m_view.m_items[KeyboardPicture::KeyAssignment];
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].m_description, "one");
    EXPECT_EQ(items[0].m_rect, (LayoutRect{10, 20, 40, 60}));
    EXPECT_EQ(items[1].m_name, "again");
    EXPECT_EQ(m_view.m_items[KeyboardPicture::Lighting].size(), 4u);
}

// Catches a failed load that wipes the previous layout, or a database left on the previous model.
TEST_F(LayoutFixture, BrokenOrMissingLayoutKeepsThePreviousState)
{
    ASSERT_TRUE(Load("<device.info><menu macro=\"0\" light_mode=\"0\"/><Keyboard><KeyItems>"
                     "<key code=\"4\" key_index=\"1\"/></KeyItems></Keyboard></device.info>"));
    for (const char* broken : {"<device.info><menu macro=\"1\">", "<layout><menu macro=\"1\"/></layout>"}) {
        EXPECT_FALSE(Load(broken)) << broken;
        EXPECT_EQ(m_def.m_pageFlags, 0x41u);
        EXPECT_EQ(m_def.m_keyPositions.size(), 1u);
    }
    LayoutEnvironment environment;
    environment.m_keyboards = &m_keyboards;
    environment.m_moduleFolder = m_folder;
    environment.m_switchDatabase = [this](const std::string& name) { m_switched.push_back(name); };
    EXPECT_FALSE(LoadKeyboardLayout(m_def, 999, environment));
    EXPECT_EQ(m_switched.back(), "");
    EXPECT_EQ(m_def.m_deviceType, 999);
    EXPECT_EQ(m_def.m_keyPositions.size(), 1u);
}

// Catches row/column texts read from the wrong characters or written outside the 8 x 32 matrix.
TEST(LayoutParsing, RowColAndRect)
{
    struct RowColCase {
        const char* text;
        bool ok;
        int row, column;
    };
    for (const RowColCase& c : std::initializer_list<RowColCase>{
             {"2#5", true, 2, 5}, {"2-15", true, 2, 15}, {"7_31", true, 7, 31}, {"0-05", true, 0, 5},
             {"8-1", false, 0, 0}, {"1-32", false, 0, 0}, {"x-1", false, 0, 0}, {"1-x", false, 0, 0},
             {"12", false, 0, 0}, {"", false, 0, 0}}) {
        int row = -1, column = -1;
        EXPECT_EQ(ParseRowCol(c.text, row, column), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(row, c.row) << c.text;
            EXPECT_EQ(column, c.column) << c.text;
        }
    }
    struct RectCase {
        const char* text;
        LayoutRect rect;
    };
    for (const RectCase& c : std::initializer_list<RectCase>{{"10#20#30#40", {10, 20, 40, 60}},
                                                             {"5", {0, 0, 0, 5}},
                                                             {"1#2", {1, 0, 1, 2}},
                                                             {"a#2#3#4", {0, 2, 3, 6}},
                                                             {"", {0, 0, 0, 0}}})
        EXPECT_EQ(ParseKeyRect(c.text), c.rect) << c.text;
}

// Catches a shipped layout with keys outside the picture, shared table positions or colours that do not fit.
TEST(ShippedLayout, EveryKeyFitsPictureTablesAndMatrix)
{
    DeviceCatalogue catalogue;
    ASSERT_TRUE(LoadDeviceCatalogue(kDataFolder + "config.xml", catalogue));
    RecordingView view;
    KeyboardDef def;
    LayoutEnvironment environment;
    environment.m_keyboards = &catalogue.m_keyboards;
    environment.m_moduleFolder = kDataFolder;
    environment.m_view = &view;
    ASSERT_TRUE(LoadKeyboardLayout(def, 201, environment));

    EXPECT_EQ(def.m_pageFlags & (kPageMacro | kPageLighting), kPageMacro | kPageLighting);
    const auto& keys = view.m_items[KeyboardPicture::KeyAssignment];
    ASSERT_GE(keys.size(), 105u);
    EXPECT_EQ(def.m_keyPositions.size(), keys.size());   // no two keys share a code
    EXPECT_TRUE(def.m_keyPositions.count(0xAF));
    std::set<int> keyIndexes, lightIndexes;
    int matrixKeys = 0;
    for (const auto& [code, index] : def.m_keyPositions)
        keyIndexes.insert(index);
    for (const auto& [code, index] : def.m_lightPositions) {
        lightIndexes.insert(index);
        EXPECT_LT(index, 110) << code;
    }
    EXPECT_EQ(keyIndexes.size(), keys.size());
    EXPECT_EQ(lightIndexes.size(), keys.size());
    for (const LayoutKeyItem& key : keys) {
        EXPECT_FALSE(key.m_name.empty()) << key.m_code;
        EXPECT_GE(key.m_rect.m_left, 0) << key.m_name;
        EXPECT_GE(key.m_rect.m_top, 0) << key.m_name;
        EXPECT_LE(key.m_rect.m_right, view.m_size.first) << key.m_name;
        EXPECT_LE(key.m_rect.m_bottom, view.m_size.second) << key.m_name;
        EXPECT_LT(key.m_rect.m_left, key.m_rect.m_right) << key.m_name;
    }
    for (int row = 0; row < kKeyMatrixRows; ++row) {
        for (int column = 0; column < kKeyMatrixColumns; ++column) {
            if (def.m_keyMatrix[row][column] == kNoKey)
                continue;
            ++matrixKeys;
            EXPECT_LT(row, def.m_matrixRows);
            EXPECT_LT(column, def.m_matrixColumns);
        }
    }
    EXPECT_EQ(matrixKeys, static_cast<int>(keys.size()));
}

// Catches an effect list missing a parameter kind, or an effect name with no text in a language file.
TEST(ShippedLayout, EffectsCoverEveryParameterKindWithNamedTexts)
{
    KeyboardDef def;
    ASSERT_TRUE(LoadKeyboardLayoutFile(def, kDataFolder + "layouts/mk71.xml", 1, nullptr));
    int kinds = 0;
    bool music = false;
    for (const LightModeRecord& effect : def.m_lightModes) {
        kinds |= effect.m_configFunc;
        music = music || effect.m_configFunc == 0x200;
    }
    EXPECT_EQ(kinds & 0x1BFF, 0x1BFF);
    EXPECT_TRUE(music);   // the music effect is recognised by its exact attribute

    SetModuleFolder(kDataFolder);
    for (int language : {1033, 2052}) {
        SetCurrentLanguage(language);
        for (const LightModeRecord& effect : def.m_lightModes)
            EXPECT_FALSE(LoadText(std::stoi(effect.m_name)).empty()) << language << " " << effect.m_name;
    }
    SetCurrentLanguage(1033);
    SetModuleFolder("");
}

// Catches a key name table shifted by one or naming usages that have no name.
TEST(KeyTables, KeyNames)
{
    const std::pair<int, const char*> cases[] = {
        {0x04, "A"},      {0x1D, "Z"},        {0x1E, "1"},     {0x26, "9"},      {0x27, "0"},     {0x2A, "backspace"},
        {0x31, "\\"},     {0x35, "~`"},       {0x39, "CAPS"},  {0x3A, "F1"},     {0x45, "F12"},   {0x48, "PASE"},
        {0x4B, "PG UP"},  {0x52, "UP"},       {0x53, "NumLock"}, {0x58, "Enter"}, {0x59, "1"},    {0x61, "9"},
        {0x62, "0"},      {0x63, "."},        {0x65, "MENU"},  {0xAF, "FN"},     {0xE0, "CTRL"},  {0xE6, "RALT"},
        {0x32, ""},       {0xE7, ""},         {0x03, ""},      {0x64, ""},       {0x104, ""},     {-1, ""},
    };
    for (const auto& [usage, name] : cases)
        EXPECT_EQ(GetKeyName(usage), name) << usage;
}

} // namespace
