// The shipped driver folder: the command the program tells the user to run, and what it installs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::filesystem::path kDriver = std::filesystem::path(MOLVANE_SOURCE_DIR) / "data" / "driver";

} // namespace

// Catches an installer that names a file the folder does not ship, or does not parse.
TEST(DriverFiles, InstallerInstallsShippedFiles)
{
    std::string script = ReadFile(kDriver / "install.sh");
    ASSERT_FALSE(script.empty());
    const std::string marker = "\"$here/";
    int count = 0;
    for (auto at = script.find(marker); at != std::string::npos; at = script.find(marker, at + 1)) {
        std::string name = script.substr(at + marker.size(), script.find('"', at + marker.size()) - at - marker.size());
        if (name == "install.sh")
            continue; // the script naming itself in its message
        EXPECT_TRUE(std::filesystem::exists(kDriver / name)) << name;
        ++count;
    }
    EXPECT_EQ(count, 2);
    std::string check = "sh -n '" + (kDriver / "install.sh").string() + "'";
    EXPECT_EQ(std::system(check.c_str()), 0);
}

// Catches rules that forget uinput or the keyboard's key nodes, or load the wrong module.
TEST(DriverFiles, RulesCoverUinputAndTheKeyboard)
{
    std::string rules = ReadFile(kDriver / "70-molvane.rules");
    EXPECT_NE(rules.find(R"(KERNEL=="uinput", SUBSYSTEM=="misc", TAG+="uaccess")"), std::string::npos);
    EXPECT_NE(rules.find(R"(SUBSYSTEM=="input", KERNEL=="event*", ATTRS{id/vendor}=="2f5a")"), std::string::npos);
    EXPECT_NE(rules.find(R"(SUBSYSTEM=="hidraw", KERNELS=="*:2F5A:7101.*", TAG+="uaccess")"), std::string::npos);
    EXPECT_NE(ReadFile(kDriver / "molvane-uinput.conf").find("\nuinput\n"), std::string::npos);
}
