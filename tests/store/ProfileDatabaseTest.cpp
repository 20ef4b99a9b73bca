// The profile database's rows: schema, first profiles and every operation on an open and a closed file.
#include "store/ProfileDatabase.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <thread>

#include "StoreTestSupport.h"

namespace {

class ProfileDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_folder.Path() + "db");
        ASSERT_TRUE(m_db.Open(m_folder.Path(), "MK71"));
    }
    std::string File() const { return ProfileDatabase::DatabasePath(m_folder.Path(), "MK71"); }

    KeyAssignmentRecord Key(int profile, int layer, int code, int type, int value, int value2 = 0)
    {
        KeyAssignmentRecord r;
        r.m_profile = profile;
        r.m_fnLayer = layer;
        r.m_keyCode = code;
        r.m_macroType = type;
        r.m_macroValue = value;
        r.m_macroValue2 = value2;
        r.m_layoutDesc = "desc";
        return r;
    }

    TempFolder m_folder;
    ProfileDatabase m_db;
};

// Catches a schema text that lost its tab runs or changed a column: other tools compare these texts.
TEST_F(ProfileDatabaseTest, NewFileHoldsTheSchemaTextsByteForByte)
{
    EXPECT_EQ(QueryText(File(), "SELECT sql FROM sqlite_master WHERE name='t_light_data'"),
              "CREATE TABLE t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t\t\t  profile "
              "INTEGER, name TEXT, mode INTEGER, brightness INTEGER, speed INTEGER, \t\t\t\t\t\t\t\t\t\tdirection "
              "INTEGER, colorful INTEGER, colorindex INTEGER, \t\t\t\t\t\t\t\t\t\tcolor_value INTEGER, config_func "
              "INTEGER, reserved INTEGER, status INTEGER)");
    EXPECT_EQ(QueryText(File(), "SELECT sql FROM sqlite_master WHERE name='t_musiclayer_data'"),
              "CREATE TABLE t_musiclayer_data(layer_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t   profile "
              "INTEGER, name TEXT, deviceindex INTEGER, foremode INTEGER, fore_amplitude INTEGER,\t\t\t\t\t\t\t\t   "
              "backmode INTEGER, backb_right INTEGER, sel INTEGER)");
    EXPECT_EQ(QueryText(File(), "SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master "
                                "WHERE type IN ('table','index') AND name NOT LIKE 'sqlite%' ORDER BY rowid)"),
              "t_configdata,t_profile_data,profileindex,t_key_macro_data,keyindex,t_key_otherdata,otheridindex,"
              "t_macro_data,macroidindex,t_macrorecord,macrorecordindex,t_light_data,lightindex,t_key_light_data,"
              "keylightindex,t_musiclayer_data,musiclayerindex");
    EXPECT_EQ(m_db.GetOpenResult(), DatabaseOpenResult::Created);
    EXPECT_EQ(QueryText(File(), "SELECT count(*) FROM t_profile_data"), "0");
}

// Catches first profiles that are missing, doubled, not current, or configuration rows out of order.
TEST_F(ProfileDatabaseTest, FirstProfilesAndConfigurationRows)
{
    ASSERT_TRUE(m_db.CreateFirstProfiles("Profile"));
    std::vector<ProfileRecord> profiles;
    ASSERT_EQ(m_db.LoadProfiles(profiles), 3);
    EXPECT_EQ(profiles[0].m_name, "Profile 1");
    EXPECT_EQ(profiles[2].m_name, "Profile 3");
    EXPECT_EQ(profiles[0].m_status, 1);
    EXPECT_EQ(profiles[1].m_status + profiles[2].m_status, 0);
    EXPECT_EQ(m_db.GetSelectedProfile(), profiles[0].m_profileId);
    EXPECT_EQ(QueryText(File(), "SELECT group_concat(key || '=' || value || '@' || profile, ' ') FROM "
                                "(SELECT * FROM t_configdata ORDER BY config_id)"),
              "version=1.0.1@1 keyboard_layout=1@1 fn_layer=0@1 lightmode=1@1 sleep_light=1@1 userlight=0@1 "
              "customlight_run=0@1 gamemode=0@1 disable_alttab=0@1 disable_altf4=0@1 disable_win=0@1");

    EXPECT_FALSE(m_db.CreateFirstProfiles("Profile"));
    EXPECT_EQ(m_db.LoadProfiles(profiles), 3);
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_configdata"), 11);
}

// Catches profile operations that touch the wrong row or leave two current profiles.
TEST_F(ProfileDatabaseTest, ProfileRowsRenameSelectDelete)
{
    ProfileRecord record;
    record.m_name = "Game";
    record.m_app = "steam";
    record.m_status = 1;   // ignored: a new profile is never current
    int a = m_db.InsertProfile(record);
    record.m_name = "Work";
    int b = m_db.InsertProfile(record);
    ASSERT_GT(a, 0);
    ASSERT_EQ(b, a + 1);

    EXPECT_TRUE(m_db.SelectProfile(a));
    EXPECT_TRUE(m_db.SelectProfile(b));
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_profile_data WHERE status = 1"), 1);
    EXPECT_EQ(m_db.GetSelectedProfile(), b);

    EXPECT_TRUE(m_db.RenameProfile(a, "Ünïcode ✓"));
    std::string name = "stale";
    EXPECT_TRUE(m_db.GetProfileName(a, name));
    EXPECT_EQ(name, "Ünïcode ✓");
    EXPECT_FALSE(m_db.GetProfileName(999, name));
    EXPECT_EQ(name, "");

    EXPECT_TRUE(m_db.DeleteProfile(b));
    EXPECT_EQ(m_db.GetSelectedProfile(), 0);
    std::vector<ProfileRecord> list;
    ASSERT_EQ(m_db.LoadProfiles(list), 1);
    EXPECT_EQ(list[0].m_app, "steam");
}

// Catches a key save that keeps a stale row, writes for key code 0, or leaves a row for "default".
TEST_F(ProfileDatabaseTest, SaveKeyAssignmentReplacesOrRemovesTheKeyRow)
{
    EXPECT_EQ(m_db.SaveKeyAssignment(Key(1, 0, 0, 1, 5)), 0);
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_key_macro_data"), 0);

    int first = m_db.SaveKeyAssignment(Key(1, 0, 0x04, 1, 5));
    int second = m_db.SaveKeyAssignment(Key(1, 0, 0x04, 1, 6));
    m_db.SaveKeyAssignment(Key(1, 1, 0x04, 1, 7));   // another layer keeps its own row
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);
    KeyAssignmentRecord loaded;
    ASSERT_TRUE(m_db.LoadKeyAssignment(1, 0, 0x04, loaded));
    EXPECT_EQ(loaded.m_macroValue, 6);
    EXPECT_EQ(loaded.m_keyId, second);
    EXPECT_EQ(loaded.m_layoutDesc, "desc");

    EXPECT_EQ(m_db.SaveKeyAssignment(Key(1, 0, 0x04, 1, 0, 0)), 0);
    EXPECT_FALSE(m_db.LoadKeyAssignment(1, 0, 0x04, loaded));
    std::vector<KeyAssignmentRecord> list;
    EXPECT_EQ(m_db.LoadKeyAssignments(1, 1, list), 1);
    EXPECT_EQ(m_db.SaveKeyAssignment(Key(1, 0, 0x05, 1, 0, 9)), second + 2);   // value 2 alone keeps a row

    m_db.DeleteKeyAssignments(1);
    EXPECT_EQ(m_db.LoadKeyAssignments(1, 1, list), 0);
}

// Catches a macro delete that leaves its events or keys behind, or removes another macro's keys.
TEST_F(ProfileDatabaseTest, DeleteMacroCascadesToEventsAndKeysOfEveryProfile)
{
    int gone = m_db.CreateMacro("gone");
    int kept = m_db.CreateMacro("kept");
    MacroEventRecord event;
    event.m_macroId = gone;
    m_db.InsertMacroEvent(event);
    event.m_macroId = kept;
    m_db.InsertMacroEvent(event);
    m_db.SaveKeyAssignment(Key(1, 0, 0x04, 3, gone));
    m_db.SaveKeyAssignment(Key(2, 1, 0x05, 3, gone));
    m_db.SaveKeyAssignment(Key(2, 0, 0x06, 3, kept));
    m_db.SaveKeyAssignment(Key(2, 0, 0x07, 1, gone));   // not a macro key: same number, other meaning

    EXPECT_TRUE(m_db.DeleteMacro(gone));
    MacroRecord macro;
    EXPECT_FALSE(m_db.LoadMacro(gone, macro));
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_macrorecord WHERE macro_id = " + std::to_string(gone)), 0);
    EXPECT_EQ(QueryText(File(), "SELECT group_concat(key_code, ',') FROM t_key_macro_data"), "6,7");
    ASSERT_TRUE(m_db.LoadMacro(kept, macro));
    EXPECT_EQ(macro.m_playTimes, 1);
    EXPECT_EQ(macro.m_delayType, 1);
}

// Catches events loaded in insertion order, or counted with the pause-only type 1.
TEST_F(ProfileDatabaseTest, MacroEventsComeBackByRecordIndex)
{
    int id = m_db.CreateMacro("m");
    std::vector<MacroEventRecord> events;
    for (int index : {2, 0, 1}) {
        MacroEventRecord e;
        e.m_macroId = id;
        e.m_recordIndex = index;
        e.m_type = 1;
        e.m_value = 100 + index;
        e.m_description = index == 0 ? "" : "k";
        events.push_back(e);
    }
    m_db.SaveMacroEvents(events);
    std::vector<MacroEventRecord> loaded;
    ASSERT_EQ(m_db.LoadMacroEvents(id, loaded), 3);
    EXPECT_EQ(loaded[0].m_value, 100);
    EXPECT_EQ(loaded[2].m_value, 102);
    EXPECT_EQ(m_db.CountMacroActions(id), 0);
    EXPECT_EQ(QueryText(File(), "SELECT typeof(desc) FROM t_macrorecord WHERE record_index = 0"), "text");

    events[1].m_type = 2;
    m_db.SaveMacroEvents({events[1]});
    EXPECT_EQ(m_db.CountMacroActions(id), 1);
    EXPECT_TRUE(m_db.DeleteMacroEvents(id));
    EXPECT_EQ(m_db.LoadMacroEvents(id, loaded), 0);
}

// Catches macro settings or names written to the wrong macro, and a play count read from nowhere.
TEST_F(ProfileDatabaseTest, MacroSettingsAndNames)
{
    MacroRecord r;
    r.m_name = "combo";
    r.m_playTimes = 7;
    r.m_delayType = 3;
    r.m_delayTime = 250;
    r.m_linkCount = 2;
    r.m_macroId = 999;   // ignored on insert
    int id = m_db.InsertMacro(r);
    ASSERT_GT(id, 0);
    r.m_macroId = id;
    r.m_playTimes = 9;
    r.m_delayTime = 10;
    EXPECT_TRUE(m_db.UpdateMacroSettings(r));
    EXPECT_TRUE(m_db.RenameMacro(id, "renamed"));
    std::vector<MacroRecord> list;
    ASSERT_EQ(m_db.LoadMacros(list), 1);
    EXPECT_EQ(list[0].m_name, "renamed");
    EXPECT_EQ(list[0].m_playTimes, 9);
    EXPECT_EQ(list[0].m_delayTime, 10);
    EXPECT_EQ(list[0].m_linkCount, 2);
    int times = -1;
    EXPECT_TRUE(m_db.GetMacroPlayTimes(id, times));
    EXPECT_EQ(times, 9);
    EXPECT_FALSE(m_db.GetMacroPlayTimes(id + 1, times));
}

// Catches extra data that is lost, or outputs overwritten when the row does not exist.
TEST_F(ProfileDatabaseTest, KeyExtraRoundTrip)
{
    int id = m_db.InsertKeyExtra("Run", "/usr/bin/foot --title 'a&b'", 4);
    ASSERT_GT(id, 0);
    std::string desc, param;
    int type = 0;
    EXPECT_TRUE(m_db.LoadKeyExtra(id, desc, param, type));
    EXPECT_EQ(param, "/usr/bin/foot --title 'a&b'");
    EXPECT_EQ(type, 4);
    desc = "keep";
    EXPECT_TRUE(m_db.LoadKeyExtra(id + 5, desc, param, type));
    EXPECT_EQ(desc, "keep");
}

// Catches a selected light mode that stays set in another profile, or one set for a missing pair.
TEST_F(ProfileDatabaseTest, LightModeSelectionIsUniqueAcrossProfiles)
{
    for (int profile : {1, 2}) {
        for (int mode : {1, 5}) {
            LightModeRecord r;
            r.m_profile = profile;
            r.m_mode = mode;
            r.m_name = "101";
            r.m_colorValue = 255;
            EXPECT_GT(m_db.InsertLightMode(r), 0);
        }
    }
    EXPECT_EQ(m_db.CountLightModes(1), 2);
    EXPECT_TRUE(m_db.SelectLightMode(1, 5));
    EXPECT_TRUE(m_db.SelectLightMode(2, 1));
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_light_data WHERE status = 1"), 1);
    EXPECT_EQ(m_db.GetSelectedLightMode(1), 0);
    EXPECT_EQ(m_db.GetSelectedLightMode(2), 1);
    EXPECT_TRUE(m_db.SelectLightMode(3, 9));
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_light_data WHERE status = 1"), 0);

    LightModeRecord r;
    r.m_brightness = 4;
    r.m_speed = 2;
    r.m_direction = 1;
    r.m_colorValue = 0x00FF00;
    r.m_configFunc = 0x1F;
    EXPECT_TRUE(m_db.UpdateLightMode(2, 5, r));
    LightModeRecord loaded;
    ASSERT_TRUE(m_db.LoadLightMode(2, 5, loaded));
    EXPECT_EQ(loaded.m_brightness, 4);
    EXPECT_EQ(loaded.m_colorValue, 0x00FF00);
    EXPECT_EQ(loaded.m_name, "101");
    EXPECT_FALSE(m_db.LoadLightMode(2, 7, loaded));
    std::vector<LightModeRecord> list;
    EXPECT_EQ(m_db.LoadLightModes(1, list), 2);
}

// Catches per-key colours selected by profile instead of by the shared light id.
TEST_F(ProfileDatabaseTest, KeyLightsAreSharedByLightId)
{
    std::vector<KeyLightRecord> colours;
    for (int code = 4; code < 8; ++code)
        colours.push_back({0, code == 4 ? 1 : 2, ProfileDatabase::kCustomLightId, code, 0x0000FF * code});
    EXPECT_EQ(m_db.SaveKeyLights(colours), 4);
    std::vector<KeyLightRecord> loaded;
    ASSERT_EQ(m_db.LoadKeyLights(ProfileDatabase::kCustomLightId, loaded), 4);
    EXPECT_EQ(loaded[3].m_keyRgb, 0x0000FF * 7);
    EXPECT_EQ(loaded[0].m_profile, 1);
    EXPECT_TRUE(m_db.DeleteKeyLights(ProfileDatabase::kCustomLightId));
    EXPECT_EQ(m_db.LoadKeyLights(ProfileDatabase::kCustomLightId, loaded), 0);
}

// Catches wrong defaults for a new music layer and a selection that does not stick.
TEST_F(ProfileDatabaseTest, MusicLayerDefaultsAndSelection)
{
    EXPECT_EQ(m_db.CountMusicLayers(1), 0);
    EXPECT_EQ(m_db.InsertMusicLayer("layer", 17), 1);
    MusicLayerRecord layer;
    ASSERT_TRUE(m_db.LoadMusicLayer(1, layer));
    EXPECT_EQ(layer.m_profile, 1);
    EXPECT_EQ(layer.m_foreMode, 17);
    EXPECT_EQ(layer.m_foreAmplitude, 300);
    EXPECT_EQ(layer.m_backBrightness, 100);
    EXPECT_EQ(m_db.GetSelectedMusicLayer(1), 0);
    EXPECT_TRUE(m_db.SelectMusicLayer(1, 1));
    EXPECT_EQ(m_db.GetSelectedMusicLayer(1), 1);
    layer.m_backMode = 2;
    layer.m_foreAmplitude = 120;
    EXPECT_TRUE(m_db.UpdateMusicLayer(layer));
    ASSERT_TRUE(m_db.LoadMusicLayer(1, layer));
    EXPECT_EQ(layer.m_backMode, 2);
    EXPECT_EQ(layer.m_foreAmplitude, 120);
    EXPECT_EQ(m_db.CountMusicLayers(1), 1);
}

// Catches an operation on a closed database that reports success or leaves old list contents.
TEST(ProfileDatabaseClosed, EveryOperationFailsQuietly)
{
    ProfileDatabase db;
    std::vector<ProfileRecord> profiles(2);
    std::vector<MacroRecord> macros(2);
    std::vector<MacroEventRecord> events(2);
    std::vector<KeyAssignmentRecord> keys(2);
    std::vector<LightModeRecord> lights(2);
    std::vector<KeyLightRecord> keyLights(2);
    KeyAssignmentRecord key;
    key.m_keyCode = 4;
    key.m_macroValue = 1;
    std::string text;
    int number = 0;
    MacroRecord macro;
    LightModeRecord light;
    MusicLayerRecord layer;
    const std::vector<std::pair<const char*, std::function<int()>>> cases = {
        {"InsertProfile", [&] { return db.InsertProfile({}); }},
        {"DeleteProfile", [&] { return int(db.DeleteProfile(1)); }},
        {"RenameProfile", [&] { return int(db.RenameProfile(1, "x")); }},
        {"GetProfileName", [&] { return int(db.GetProfileName(1, text)); }},
        {"LoadProfiles", [&] { return db.LoadProfiles(profiles) + int(profiles.size()); }},
        {"SelectProfile", [&] { return int(db.SelectProfile(1)); }},
        {"GetSelectedProfile", [&] { return db.GetSelectedProfile(); }},
        {"CreateFirstProfiles", [&] { return int(db.CreateFirstProfiles("P")); }},
        {"SaveKeyAssignment", [&] { return db.SaveKeyAssignment(key); }},
        {"LoadKeyAssignment", [&] { return int(db.LoadKeyAssignment(1, 0, 4, key)); }},
        {"LoadKeyAssignments", [&] { return db.LoadKeyAssignments(1, 0, keys) + int(keys.size()); }},
        {"InsertKeyExtra", [&] { return db.InsertKeyExtra("a", "b", 1); }},
        {"CreateMacro", [&] { return db.CreateMacro("m"); }},
        {"InsertMacro", [&] { return db.InsertMacro(macro); }},
        {"RenameMacro", [&] { return int(db.RenameMacro(1, "m")); }},
        {"UpdateMacroSettings", [&] { return int(db.UpdateMacroSettings(macro)); }},
        {"DeleteMacro", [&] { return int(db.DeleteMacro(1)); }},
        {"GetMacroPlayTimes", [&] { return int(db.GetMacroPlayTimes(1, number)); }},
        {"LoadMacro", [&] { return int(db.LoadMacro(1, macro)); }},
        {"LoadMacros", [&] { return db.LoadMacros(macros) + int(macros.size()); }},
        {"InsertMacroEvent", [&] { return db.InsertMacroEvent({}); }},
        {"LoadMacroEvents", [&] { return db.LoadMacroEvents(1, events) + int(events.size()); }},
        {"DeleteMacroEvents", [&] { return int(db.DeleteMacroEvents(1)); }},
        {"CountMacroActions", [&] { return db.CountMacroActions(1); }},
        {"CountLightModes", [&] { return db.CountLightModes(1); }},
        {"InsertLightMode", [&] { return db.InsertLightMode(light); }},
        {"UpdateLightMode", [&] { return int(db.UpdateLightMode(1, 1, light)); }},
        {"SelectLightMode", [&] { return int(db.SelectLightMode(1, 1)); }},
        {"GetSelectedLightMode", [&] { return db.GetSelectedLightMode(1); }},
        {"LoadLightMode", [&] { return int(db.LoadLightMode(1, 1, light)); }},
        {"LoadLightModes", [&] { return db.LoadLightModes(1, lights) + int(lights.size()); }},
        {"SaveKeyLights", [&] { return db.SaveKeyLights({{}, {}}); }},
        {"DeleteKeyLights", [&] { return int(db.DeleteKeyLights(128)); }},
        {"LoadKeyLights", [&] { return db.LoadKeyLights(128, keyLights) + int(keyLights.size()); }},
        {"CountMusicLayers", [&] { return db.CountMusicLayers(1); }},
        {"InsertMusicLayer", [&] { return db.InsertMusicLayer("l", 1); }},
        {"LoadMusicLayer", [&] { return int(db.LoadMusicLayer(1, layer)); }},
        {"UpdateMusicLayer", [&] { return int(db.UpdateMusicLayer(layer)); }},
        {"SelectMusicLayer", [&] { return int(db.SelectMusicLayer(1, 1)); }},
        {"GetSelectedMusicLayer", [&] { return db.GetSelectedMusicLayer(1); }},
    };
    for (const auto& [name, call] : cases)
        EXPECT_EQ(call(), 0) << name;
    // LoadKeyExtra reports true whatever it finds, and writes nothing without a row.
    text = "keep";
    EXPECT_TRUE(db.LoadKeyExtra(1, text, text, number));
    EXPECT_EQ(text, "keep");
    db.SaveMacroEvents(events);
    db.InsertDefaultConfig();
    db.DeleteKeyAssignments(1);
}

// Catches two threads' statements interleaving into each other's transactions and losing rows.
TEST_F(ProfileDatabaseTest, TwoThreadsShareTheConnectionWithoutLosingRows)
{
    int macro = m_db.CreateMacro("busy");
    std::thread writer([&] {
        std::vector<MacroEventRecord> batch(50);
        for (auto& e : batch)
            e.m_macroId = macro;
        for (int i = 0; i < 40; ++i)
            m_db.SaveMacroEvents(batch);
    });
    for (int i = 0; i < 200; ++i) {
        ProfileRecord p;
        p.m_name = "p" + std::to_string(i);
        EXPECT_GT(m_db.InsertProfile(p), 0);
    }
    writer.join();
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_macrorecord"), 2000);
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_profile_data"), 200);
}

} // namespace
