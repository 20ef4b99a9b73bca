// molvanectl end to end: a scripted session on the emulated keyboard, checked in the database
// and the emulator, and the real program's exit codes and packet trace.
#include "app/MolvaneCtl.h"
#include "link/ProtocolReports.h"
#include "platform/Folders.h"
#include "platform/LanguageText.h"
#include "sim/KeyboardEmulator.h"
#include "sim/SimulatedKeyboard.h"
#include "store/ProfileDatabase.h"
#include "tests/platform/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace {

struct CtlRun {
    int code = -1;
    std::string out;
    std::string err;
};

CtlRun Ctl(std::vector<std::string> args) {
    std::ostringstream out, err;
    CtlRun run;
    run.code = RunMolvaneCtl(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// "--simulate" and the words of `line`, split at blanks.
CtlRun Sim(const std::string& line) {
    std::vector<std::string> args = {"--simulate"};
    std::istringstream words(line);
    for (std::string word; words >> word;)
        args.push_back(word);
    return Ctl(args);
}

int FirstNumber(const std::string& text) {
    return std::atoi(text.c_str());
}

// The keyboard model whose database the commands opened.
std::string ModelName() {
    for (const auto& entry : std::filesystem::directory_iterator(GetDatabaseFolder()))
        if (const std::string file = entry.path().filename().string(); file.ends_with("_data_v14.db"))
            return file.substr(0, file.size() - 12);
    return {};
}

const char* kMacroFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<macro>
<macroinfo name="ignored" times="2" type="1" delaytime="10"/>
<macroitems>
<item desc="A" type="2" value="65" delay_time="30"/>
<item desc="A" type="3" value="65" delay_time="0"/>
</macroitems>
</macro>
)";

// Catches any command of the session not reaching the database, the keyboard, or its exit code.
TEST(MolvaneCtl, ScriptedSessionOnTheEmulatedKeyboard) {
    TestFolder folder;
    SetModuleFolder(MOLVANE_SOURCE_DIR "/data/");
    setenv("LANG", "en_US.UTF-8", 1);

    CtlRun run = Sim("profiles");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "* 1\tProfile 1\n  2\tProfile 2\n  3\tProfile 3\n");
    run = Sim("devices");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("connected, cable, firmware 1.02"), std::string::npos) << run.out;

    run = Sim("profile add Gaming");
    ASSERT_EQ(run.code, 0) << run.err;
    const int gaming = FirstNumber(run.out);
    EXPECT_EQ(Sim("profile rename " + std::to_string(gaming) + " SHITTY").code, 3);
    EXPECT_EQ(Sim("profile select 99").code, 1);

    const std::string macroPath = folder.Write("Burst.xml", kMacroFile);
    run = Sim("macro import " + macroPath);
    ASSERT_EQ(run.code, 0) << run.err;
    const int burst = FirstNumber(run.out);
    run = Sim("macro new Empty");
    ASSERT_EQ(run.code, 0) << run.err;
    const int empty = FirstNumber(run.out);
    EXPECT_EQ(Sim("macro set " + std::to_string(burst) + " times=250 delay=3:25").code, 0);
    run = Sim("macro copy " + std::to_string(burst));
    ASSERT_EQ(run.code, 0) << run.err;
    const int copy = FirstNumber(run.out);

    for (const char* assignment : {"F1 key:A", "F2 combo:ctrl+shift+C", "F3 mouse:left", "F4 shortcut:3",
                                   "F5 url:example.org", "F7 media:mute", "0x42 disable"})
        EXPECT_EQ(Sim(std::string("key ") + assignment).code, 0) << assignment;
    EXPECT_EQ(Sim("key F6 macro:" + std::to_string(burst)).code, 0);
    EXPECT_EQ(Sim("key F8 macro:" + std::to_string(empty)).code, 3) << "a macro without events is refused";
    EXPECT_EQ(Sim("key F9 key:Nope").code, 1);
    EXPECT_EQ(Sim("key Nope key:A").code, 1);
    EXPECT_EQ(Sim("key F9 run:").code, 1);
    run = Sim("keys");
    EXPECT_NE(run.out.find("F2\tkey 6\tShift + Ctrl + C"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("F6\tmacro " + std::to_string(burst) + "\tBurst"), std::string::npos) << run.out;

    run = Sim("upload");
    ASSERT_EQ(run.code, 0) << run.err;
    const EmulatorState state = SimulatedKeyboard()->State();
    std::vector<int> macroKeys, remapKeys;
    for (const EmulatedMacroSlot& slot : state.macroSlots)
        if (slot.keyCode != 0) macroKeys.push_back(slot.keyCode);
    for (const EmulatedRemapSlot& slot : state.remapSlots)
        if (slot.keyCode != 0) remapKeys.push_back(slot.keyCode);
    std::sort(macroKeys.begin(), macroKeys.end());
    std::sort(remapKeys.begin(), remapKeys.end());
    EXPECT_EQ(macroKeys, (std::vector<int>{0x3D, 0x3F})) << "the shortcut on F4 and the macro on F6";
    EXPECT_EQ(remapKeys, (std::vector<int>{0x3A, 0x3B, 0x3C, 0x3E, 0x40, 0x42}));
    EXPECT_EQ(state.rejectedReports, 0);

    // Lighting: the custom per-key effect, its brightness, and one key's colour.
    run = Sim("light select 11");
    ASSERT_EQ(run.code, 0) << run.err;
    run = Sim("light set brightness=3");
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_EQ(Sim("colors set F1=123456").code, 0);
    run = Sim("colors apply");
    ASSERT_EQ(run.code, 0) << run.err;
    const EmulatorState lit = SimulatedKeyboard()->State();
    ASSERT_TRUE(lit.featureEffect.has_value());
    {
        ProfileDatabase db;
        ASSERT_TRUE(db.Open(GetUserDataFolder(), ModelName()));
        LightModeRecord effect;
        ASSERT_TRUE(db.LoadLightMode(gaming, 11, effect));
        EXPECT_EQ(effect.m_status, 1) << "the custom effect is the selected one";
        EXPECT_EQ(effect.m_brightness, 3);
        const Report8 expected = BuildLightEffectFeature(effect, 0);
        EXPECT_TRUE(std::equal(lit.featureEffect->begin(), lit.featureEffect->end(), expected.begin() + 2));
        db.Close();
    }
    const int f1Light = 1; // light_index of F1 in the layout
    EXPECT_EQ(lit.colours[4 * f1Light], 0x12);
    EXPECT_EQ(lit.colours[4 * f1Light + 1], 0x34);
    EXPECT_EQ(lit.colours[4 * f1Light + 2], 0x56);

    const std::string exported = folder.Path("Gaming.backup.xml");
    ASSERT_EQ(Sim("profile export " + std::to_string(gaming) + " " + exported).code, 0);
    run = Sim("profile import " + exported);
    ASSERT_EQ(run.code, 0) << run.err;
    const int imported = FirstNumber(run.out);
    EXPECT_EQ(Sim("macro delete " + std::to_string(copy)).code, 0);
    EXPECT_EQ(Sim("macro delete " + std::to_string(burst)).code, 0);
    EXPECT_EQ(Sim("profile delete " + std::to_string(gaming)).code, 0);

    // What the session left in the database, read back through the store.
    ProfileDatabase db;
    ASSERT_TRUE(db.Open(GetUserDataFolder(), ModelName()));
    std::string name;
    EXPECT_FALSE(db.GetProfileName(gaming, name));
    ASSERT_TRUE(db.GetProfileName(imported, name));
    EXPECT_EQ(name, "Gaming");
    std::vector<KeyAssignmentRecord> rows;
    EXPECT_EQ(db.LoadKeyAssignments(imported, 0, rows), 7) << "the macro key went with its macro";
    EXPECT_EQ(db.GetSelectedProfile(), imported);
    std::vector<KeyLightRecord> lights;
    db.LoadKeyLights(ProfileDatabase::kCustomLightId, lights);
    bool f1Stored = false;
    for (const KeyLightRecord& light : lights)
        f1Stored = f1Stored || (light.m_keyCode == 0x3A && light.m_keyRgb == 0x563412);
    EXPECT_TRUE(f1Stored) << "the per-key colour is in the shared set";
    std::vector<MacroRecord> macros;
    db.LoadMacros(macros);
    ASSERT_EQ(macros.size(), 1u);
    EXPECT_EQ(macros[0].m_name, "Empty");
    db.Close();

    // With the keyboard unplugged, keyboard commands say so.
    SimulatedKeyboard()->Unplug();
    EXPECT_EQ(Ctl({"upload"}).code, 2);
    EXPECT_EQ(Ctl({"light", "select", "4"}).code, 2);
    SetModuleFolder("");
}

struct ProcessRun {
    int code = -1;
    std::string output;
};

ProcessRun RunProgram(const std::string& arguments) {
    const std::string command = std::string(MOLVANE_BINARY_DIR "/bin/molvanectl ") + arguments + " 2>&1";
    ProcessRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
        run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Catches wrong exit codes of the real program, help that is missing for a command, and a
// trace variable that shows nothing.
TEST(MolvaneCtl, ProgramExitCodesHelpAndTrace) {
    TestFolder folder;
    struct Case {
        std::string arguments;
        int code;
        std::string output; // a part of the output
    } cases[] = {
        {"", 1, "usage: molvanectl"},
        {"--help", 0, "exit codes"},
        {"bogus", 1, "unknown command bogus"},
        {"--simulate=7 profiles", 1, "unknown option"},
        {"key --help", 0, "combo:ctrl+shift+NAME"},
        {"macro --help", 0, "delay=1|2|3[:MS]"},
        {"upload", 2, "no keyboard connected"},
        {"reset", 1, "--yes"},
        {"profile delete", 1, "usage: molvanectl profile"},
    };
    for (const Case& c : cases) {
        const ProcessRun run = RunProgram(c.arguments);
        EXPECT_EQ(run.code, c.code) << c.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(c.output), std::string::npos) << c.arguments << "\n" << run.output;
    }
    const std::string trace = folder.Path("trace.txt");
    setenv("MOLVANE_HID_TRACE", trace.c_str(), 1);
    const ProcessRun traced = RunProgram("--simulate=1 upload");
    unsetenv("MOLVANE_HID_TRACE");
    EXPECT_EQ(traced.code, 0) << traced.output;
    const std::string lines = TestFolder::Read(trace);
    EXPECT_NE(lines.find("> feature"), std::string::npos) << lines.substr(0, 200);
}

} // namespace
