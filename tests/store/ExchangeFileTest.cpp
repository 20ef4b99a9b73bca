// Profile and macro exchange files: exact text, round trips, macro remapping, hostile files.
#include <chrono>
#include <filesystem>

#include "StoreTestSupport.h"
#include "store/MacroExchange.h"
#include "store/ProfileDatabase.h"
#include "store/ProfileExchange.h"

namespace {

class ExchangeFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_folder.Path() + "db");
        ASSERT_TRUE(m_db.Open(m_folder.Path(), "MK71"));
        ASSERT_TRUE(m_db.CreateFirstProfiles("Profile"));
        m_profile = m_db.GetSelectedProfile();
    }

    int AddMacro(const std::string& name, int events)
    {
        MacroRecord macro;
        macro.m_name = name;
        macro.m_playTimes = 2;
        macro.m_delayType = 3;
        macro.m_delayTime = 40;
        int id = m_db.InsertMacro(macro);
        std::vector<MacroEventRecord> list;
        for (int i = 0; i < events; ++i)
            list.push_back({0, id, i % 2 ? 2 : 1, i, 0x41 + i, 10 * i, "K" + std::to_string(i)});
        m_db.SaveMacroEvents(list);
        return id;
    }

    void AddKey(int profile, int layer, int code, int type, int value, int value2 = 0)
    {
        KeyAssignmentRecord key{0, profile, layer, code, 7, "lay<&>", type, value, value2, 5, "desc \"q\""};
        ASSERT_GT(m_db.SaveKeyAssignment(key), 0);
    }

    std::string Path(const std::string& name) const { return m_folder.Path() + name; }
    int Count(const std::string& table) { return QueryInt(m_db.GetPath(), "SELECT count(*) FROM " + table); }

    TempFolder m_folder;
    ProfileDatabase m_db;
    int m_profile = 0;
};

// A key row without its own id and profile, for comparing rows across profiles.
std::string KeyRow(const KeyAssignmentRecord& k)
{
    return std::to_string(k.m_fnLayer) + "," + std::to_string(k.m_keyCode) + "," + std::to_string(k.m_layoutValue) +
           "," + k.m_layoutDesc + "," + std::to_string(k.m_macroType) + "," + std::to_string(k.m_macroValue) + "," +
           std::to_string(k.m_macroValue2) + "," + std::to_string(k.m_macroValue3) + "," + k.m_macroDesc;
}

std::vector<std::string> KeyRows(ProfileDatabase& db, int profile)
{
    std::vector<KeyAssignmentRecord> keys;
    db.LoadKeyAssignments(profile, 0, keys);
    std::vector<std::string> rows;
    for (const auto& k : keys)
        rows.push_back(KeyRow(k));
    return rows;
}

// Catches element order, nesting, attribute order, escaping or line ends that differ from the exchange format.
TEST_F(ExchangeFileTest, ProfileFileTextIsExact)
{
    int macro = AddMacro("Combo & go", 1);
    AddKey(m_profile, 0, 0x04, 3, macro);
    AddKey(m_profile, 1, 0x05, 1, 9);   // other layers are not exported
    ASSERT_EQ(ExportProfile(m_db, m_profile, "Profile 1", Path("p.xml")), ExchangeStatus::Done);
    const std::string m = std::to_string(macro);
    EXPECT_EQ(ReadBytes(Path("p.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<profile>\r\n"
              "<profileinfo name=\"Profile 1\"/>\r\n"
              "<keyitems>\r\n"
              "<item fn_layer=\"0\" key_code=\"4\" layout_value=\"7\" layout_desc=\"lay&lt;&amp;&gt;\" macro_type=\"3\" "
              "macro_value=\"" + m + "\" macro_value2=\"0\" macro_value3=\"5\" macro_desc=\"desc &quot;q&quot;\"/>\r\n"
              "</keyitems>\r\n"
              "<macroinfo name=\"Combo &amp; go\" macro_id=\"" + m + "\" times=\"2\" type=\"3\" delaytime=\"40\">\r\n"
              "<macroitems>\r\n"
              "<item desc=\"K0\" type=\"1\" value=\"65\" delay_time=\"0\"/>\r\n"
              "</macroitems>\r\n"
              "</macroinfo>\r\n"
              "</profile>\r\n");
    EXPECT_EQ(ExportProfile(m_db, 0, "none", Path("q.xml")), ExchangeStatus::NothingSelected);
    EXPECT_FALSE(std::filesystem::exists(Path("q.xml")));
}

// Catches a macro file with "macroitems" nested inside "macroinfo", or a macro_id written into it.
TEST_F(ExchangeFileTest, MacroFileTextIsExact)
{
    int macro = AddMacro("Two", 2);
    ASSERT_EQ(ExportMacro(m_db, macro, Path("m.xml")), ExchangeStatus::Done);
    EXPECT_EQ(ReadBytes(Path("m.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<macro>\r\n"
              "<macroinfo name=\"Two\" times=\"2\" type=\"3\" delaytime=\"40\"/>\r\n"
              "<macroitems>\r\n"
              "<item desc=\"K0\" type=\"1\" value=\"65\" delay_time=\"0\"/>\r\n"
              "<item desc=\"K1\" type=\"2\" value=\"66\" delay_time=\"10\"/>\r\n"
              "</macroitems>\r\n"
              "</macro>\r\n");
    EXPECT_EQ(ExportMacro(m_db, 0, Path("n.xml")), ExchangeStatus::NothingSelected);
    EXPECT_EQ(ExportMacro(m_db, macro, Path("missing-folder/m.xml")), ExchangeStatus::WriteFailed);
}

// Catches rows that change on the way out and back in, and macros duplicated when they already exist.
TEST_F(ExchangeFileTest, ProfileRoundTripRestoresTheRows)
{
    int macro = AddMacro("Reload", 4);
    AddKey(m_profile, 0, 0x04, 3, macro);
    AddKey(m_profile, 0, 0x05, 1, 0, 0x1E);
    AddKey(m_profile, 0, 0x06, 2, 0xE9);
    std::vector<std::string> before = KeyRows(m_db, m_profile);
    ASSERT_EQ(ExportProfile(m_db, m_profile, "Profile 1", Path("Game.night.xml")), ExchangeStatus::Done);
    m_db.DeleteKeyAssignments(m_profile);
    m_db.DeleteProfile(m_profile);

    ProfileImportResult result = ImportProfile(m_db, Path("Game.night.xml"));
    ASSERT_EQ(result.m_status, ExchangeStatus::Done);
    EXPECT_EQ(result.m_profileName, "Game");
    EXPECT_TRUE(result.m_createdMacros.empty());
    EXPECT_EQ(m_db.GetSelectedProfile(), result.m_profileId);
    EXPECT_EQ(Count("t_macro_data"), 1);
    EXPECT_EQ(KeyRows(m_db, result.m_profileId), before);
}

// Catches macro keys left pointing at the exporting database's ids, and events lost or reordered.
TEST_F(ExchangeFileTest, ImportElsewhereCreatesMacrosAndRemapsKeys)
{
    AddMacro("filler", 0);
    int macro = AddMacro("Burst", 3);
    AddKey(m_profile, 0, 0x04, 3, macro);
    AddKey(m_profile, 0, 0x05, 3, macro);   // the same macro twice: two "macroinfo" elements
    ASSERT_EQ(ExportProfile(m_db, m_profile, "Profile 1", Path("burst.xml")), ExchangeStatus::Done);

    TempFolder other;
    std::filesystem::create_directories(other.Path() + "db");
    ProfileDatabase target;
    ASSERT_TRUE(target.Open(other.Path(), "MK71"));
    ProfileImportResult result = ImportProfile(target, Path("burst.xml"));
    ASSERT_EQ(result.m_status, ExchangeStatus::Done);
    ASSERT_EQ(result.m_createdMacros.size(), 2u);
    int last = result.m_createdMacros[1].m_macroId;
    EXPECT_EQ(result.m_createdMacros[1].m_name, "Burst");
    std::vector<KeyAssignmentRecord> keys;
    ASSERT_EQ(target.LoadKeyAssignments(result.m_profileId, 0, keys), 2);
    EXPECT_EQ(keys[0].m_macroValue, last);
    EXPECT_EQ(keys[1].m_macroValue, last);
    std::vector<MacroEventRecord> events;
    ASSERT_EQ(target.LoadMacroEvents(last, events), 3);
    EXPECT_EQ(events[2].m_value, 0x43);
    EXPECT_EQ(events[2].m_recordIndex, 2);
    EXPECT_EQ(events[2].m_description, "K2");
    MacroRecord settings;
    ASSERT_TRUE(target.LoadMacro(last, settings));
    EXPECT_EQ(settings.m_playTimes, 2);
    EXPECT_EQ(settings.m_delayTime, 40);
    EXPECT_EQ(settings.m_linkCount, 0);
}

// Catches a macro reused by id alone, or by a name that matches only without regard to case.
TEST_F(ExchangeFileTest, MacroIsReusedOnlyWithTheSameNameAndId)
{
    int macro = AddMacro("Dash", 1);
    AddKey(m_profile, 0, 0x04, 3, macro);
    ASSERT_EQ(ExportProfile(m_db, m_profile, "P", Path("dash.xml")), ExchangeStatus::Done);
    ASSERT_TRUE(m_db.RenameMacro(macro, "DASH"));
    ProfileImportResult result = ImportProfile(m_db, Path("dash.xml"));
    ASSERT_EQ(result.m_status, ExchangeStatus::Done);
    ASSERT_EQ(result.m_createdMacros.size(), 1u);
    EXPECT_NE(result.m_createdMacros[0].m_macroId, macro);
    KeyAssignmentRecord key;
    ASSERT_TRUE(m_db.LoadKeyAssignment(result.m_profileId, 0, 0x04, key));
    EXPECT_EQ(key.m_macroValue, result.m_createdMacros[0].m_macroId);
}

// Catches profile names taken from the wrong part of the file name, including an empty name.
TEST(ExchangeNames, NameFromFileName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/Game.night.xml", "Game"}, {"Work.xml", "Work"}, {"/tmp/noext", "noext"},
        {"/tmp/.hidden.xml", ".hidden.xml"}, {"dir.v2/Plain", "Plain"},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(NameFromFileName(path), name) << path;
}

// Catches events read from "item" elements that are not inside "macroitems".
TEST_F(ExchangeFileTest, ItemsOutsideMacroitemsAreNotEvents)
{
    WriteBytes(Path("flat.xml"), "<profile><profileinfo/><keyitems><item key_code=\"4\" macro_type=\"3\" "
                                 "macro_value=\"77\"/></keyitems><macroinfo name=\"Flat\" macro_id=\"77\">"
                                 "<item desc=\"a\" type=\"1\"/></macroinfo></profile>");
    ProfileImportResult result = ImportProfile(m_db, Path("flat.xml"));
    ASSERT_EQ(result.m_status, ExchangeStatus::Done);
    ASSERT_EQ(result.m_createdMacros.size(), 1u);
    std::vector<MacroEventRecord> events;
    EXPECT_EQ(m_db.LoadMacroEvents(result.m_createdMacros[0].m_macroId, events), 0);
}

// Catches a macro import that reads the name from the file, nests events wrongly, or keeps file indexes.
TEST_F(ExchangeFileTest, MacroRoundTripAndImportShape)
{
    int macro = AddMacro("Stored name", 3);
    ASSERT_EQ(ExportMacro(m_db, macro, Path("Spin.v1.xml")), ExchangeStatus::Done);
    MacroImportResult result = ImportMacro(m_db, Path("Spin.v1.xml"));
    ASSERT_EQ(result.m_status, ExchangeStatus::Done);
    EXPECT_EQ(result.m_name, "Spin");
    std::vector<MacroEventRecord> original, imported;
    m_db.LoadMacroEvents(macro, original);
    ASSERT_EQ(m_db.LoadMacroEvents(result.m_macroId, imported), 3);
    for (size_t i = 0; i < imported.size(); ++i) {
        EXPECT_EQ(imported[i].m_value, original[i].m_value);
        EXPECT_EQ(imported[i].m_delayTime, original[i].m_delayTime);
        EXPECT_EQ(imported[i].m_recordIndex, static_cast<int>(i));
    }
    MacroRecord settings;
    ASSERT_TRUE(m_db.LoadMacro(result.m_macroId, settings));
    EXPECT_EQ(settings.m_delayType, 3);

    // Events nested the profile-file way are not where a macro file keeps them.
    WriteBytes(Path("nested.xml"), "<macro><macroinfo times=\"1\"><macroitems><item type=\"1\"/></macroitems>"
                                   "</macroinfo></macro>");
    result = ImportMacro(m_db, Path("nested.xml"));
    ASSERT_EQ(result.m_status, ExchangeStatus::Done);
    EXPECT_EQ(m_db.LoadMacroEvents(result.m_macroId, imported), 0);
}

// Catches a missing, broken or foreign file that still creates a profile or macro.
TEST_F(ExchangeFileTest, UnusableFilesImportNothing)
{
    WriteBytes(Path("broken.xml"), "<profile><keyitems><item key_code=\"4\"></profile>");
    WriteBytes(Path("macro.xml"), "<macro><macroinfo/></macro>");
    WriteBytes(Path("profile.xml"), "<profile/>");
    std::filesystem::create_directories(Path("folder.xml"));
    struct Case {
        const char* file;
        ExchangeStatus profile, macro;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"absent.xml", ExchangeStatus::FileMissing, ExchangeStatus::FileMissing},
             {"folder.xml", ExchangeStatus::FileMissing, ExchangeStatus::FileMissing},
             {"broken.xml", ExchangeStatus::NotAnExchangeFile, ExchangeStatus::NotAnExchangeFile},
             {"macro.xml", ExchangeStatus::NotAnExchangeFile, ExchangeStatus::Done},
             {"profile.xml", ExchangeStatus::Done, ExchangeStatus::NotAnExchangeFile}}) {
        int profiles = Count("t_profile_data");
        int macros = Count("t_macro_data");
        ProfileImportResult p = ImportProfile(m_db, Path(c.file));
        EXPECT_EQ(p.m_status, c.profile) << c.file;
        EXPECT_EQ(Count("t_profile_data"), profiles + (c.profile == ExchangeStatus::Done)) << c.file;
        MacroImportResult m = ImportMacro(m_db, Path(c.file));
        EXPECT_EQ(m.m_status, c.macro) << c.file;
        EXPECT_EQ(Count("t_macro_data"), macros + (c.macro == ExchangeStatus::Done)) << c.file;
    }
}

// Catches an import that fails half way and leaves macros, events or a profile behind.
TEST_F(ExchangeFileTest, FailedImportLeavesNothingBehind)
{
    int macro = AddMacro("Half", 5);
    AddKey(m_profile, 0, 0x04, 3, macro);
    AddKey(m_profile, 0, 0x99, 1, 3);
    ASSERT_EQ(ExportProfile(m_db, m_profile, "P", Path("half.xml")), ExchangeStatus::Done);
    ASSERT_TRUE(m_db.RenameMacro(macro, "changed"));   // forces the macro to be created again
    // Fault injection: the database refuses the second key of the file.
    ASSERT_EQ(m_db.Connection().Execute("CREATE TRIGGER refuse BEFORE INSERT ON t_key_macro_data WHEN NEW.key_code = "
                                        "153 BEGIN SELECT RAISE(ABORT, 'refused'); END"),
              0);
    const int profiles = Count("t_profile_data"), macros = Count("t_macro_data"), events = Count("t_macrorecord");
    const int keys = Count("t_key_macro_data"), current = m_db.GetSelectedProfile();

    ProfileImportResult result = ImportProfile(m_db, Path("half.xml"));
    EXPECT_EQ(result.m_status, ExchangeStatus::DatabaseFailed);
    EXPECT_TRUE(result.m_createdMacros.empty());
    EXPECT_EQ(Count("t_profile_data"), profiles);
    EXPECT_EQ(Count("t_macro_data"), macros);
    EXPECT_EQ(Count("t_macrorecord"), events);
    EXPECT_EQ(Count("t_key_macro_data"), keys);
    EXPECT_EQ(m_db.GetSelectedProfile(), current);
    EXPECT_GT(m_db.CreateMacro("still writable"), 0);
}

// Catches hostile files that take unbounded time or memory, or expand entities into the database.
TEST_F(ExchangeFileTest, HostileFilesAreRefusedOrBounded)
{
    std::string many = "<profile><keyitems>";
    for (int i = 0; i < 100000; ++i)
        many += "<item key_code=\"4\" macro_value=\"1\"/>";
    many += "</keyitems></profile>";
    WriteBytes(Path("many.xml"), many);

    std::string events = "<macro><macroinfo/><macroitems>";
    for (int i = 0; i < 100000; ++i)
        events += "<item type=\"1\"/>";
    events += "</macroitems></macro>";
    WriteBytes(Path("events.xml"), events);

    std::string deep = "<profile><keyitems>";
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    for (int i = 0; i < 100000; ++i)
        deep += "</a>";
    deep += "</keyitems></profile>";
    WriteBytes(Path("deep.xml"), deep);

    WriteBytes(Path("huge.xml"), "<profile>" + std::string(kMaxExchangeFileBytes, ' ') + "</profile>");

    WriteBytes(Path("lol.xml"), "<?xml version=\"1.0\"?>\n<!DOCTYPE profile [<!ENTITY a \"aaaaaaaaaa\">"
                                "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
                                "<profile><keyitems><item key_code=\"5\" macro_value=\"1\" layout_desc=\"&c;&#65;&amp;\"/>"
                                "</keyitems></profile>");

    const int profiles = Count("t_profile_data");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ImportProfile(m_db, Path("many.xml")).m_status, ExchangeStatus::TooLarge);
    EXPECT_EQ(ImportMacro(m_db, Path("events.xml")).m_status, ExchangeStatus::TooLarge);
    EXPECT_EQ(ImportProfile(m_db, Path("huge.xml")).m_status, ExchangeStatus::TooLarge);
    ExchangeStatus deepStatus = ImportProfile(m_db, Path("deep.xml")).m_status;
    EXPECT_TRUE(deepStatus == ExchangeStatus::Done || deepStatus == ExchangeStatus::NotAnExchangeFile);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(Count("t_profile_data"), profiles + (deepStatus == ExchangeStatus::Done));

    ProfileImportResult lol = ImportProfile(m_db, Path("lol.xml"));
    ASSERT_EQ(lol.m_status, ExchangeStatus::Done);
    KeyAssignmentRecord key;
    ASSERT_TRUE(m_db.LoadKeyAssignment(lol.m_profileId, 0, 5, key));
    EXPECT_EQ(key.m_layoutDesc, "&c;A&");   // document entities are never expanded
}

} // namespace
