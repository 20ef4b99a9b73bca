// Extraction of update archives: what lands in the folder, what never does, and what is refused.
#include "update/Unzip.h"

#include "TestFolder.h"
#include "ZipBuilder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct Unpacked {
    TestFolder temp;
    std::string folder = temp / "out";
    UnzipResult result;
};

void Unpack(Unpacked& run, const ZipBuilder& zip)
{
    std::string archive = run.temp / "archive.zip";
    ASSERT_TRUE(zip.WriteTo(archive));
    run.result = UnzipArchive(archive, run.folder);
}

bool IsLink(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

std::string Text(size_t size)
{
    std::string text;
    for (size_t i = 0; text.size() < size; ++i)
        text += "line " + std::to_string(i) + " of the installer text\n";
    text.resize(size);
    return text;
}

} // namespace

// Catches a cleaning loop that stops after one pass or matches the wrong climbing patterns.
TEST(CleanEntryName, DropsDrivesLeadingSlashesAndClimbs)
{
    struct Case {
        const char* name;
        const char* cleaned;
    } cases[] = {
        {"setup.bin", "setup.bin"},
        {"dir/file.txt", "dir/file.txt"},
        {"/etc/passwd", "etc/passwd"},
        {"//twice", "twice"},
        {"C:\\Windows\\x.dll", "Windows\\x.dll"},
        {"C:/a/../b", "b"},
        {"../../evil.txt", "evil.txt"},
        {"..\\..\\evil.txt", "evil.txt"},
        {"a/..\\b/../c", "c"},
        {"../one.txt", "../one.txt"}, // left for the component check to refuse
        {"\\..\\x", "..\\x"}, // the slash goes first, so no climb pattern is left
    };
    for (const Case& c : cases)
        EXPECT_EQ(CleanEntryName(c.name), c.cleaned) << c.name;
}

// Catches wrong data for either method, lost nesting, or missing folders for nested entries.
TEST(UnzipArchive, WritesStoredDeflatedNestedAndDirectoryEntries)
{
    Unpacked run;
    std::string big = Text(200000); // several 16 KiB output blocks
    ZipBuilder zip;
    zip.AddFile("stored.txt", "plain bytes", false)
        .AddFile("deflated.txt", big, true)
        .AddDirectory("empty/")
        .AddFile("a/b/c/deep.txt", "deep", true)
        .AddFile("win\\style\\name.txt", "backslashes", false)
        .AddFile("zero.txt", "", true);
    Unpack(run, zip);
    ASSERT_EQ(run.result.status, UnzipStatus::Done) << run.result.message;
    EXPECT_EQ(run.result.extracted, 6u);
    EXPECT_EQ(TestFolder::ReadFile(run.folder + "/stored.txt"), "plain bytes");
    EXPECT_EQ(TestFolder::ReadFile(run.folder + "/deflated.txt"), big);
    EXPECT_TRUE(fs::is_directory(run.folder + "/empty"));
    EXPECT_EQ(TestFolder::ReadFile(run.folder + "/a/b/c/deep.txt"), "deep");
    EXPECT_EQ(TestFolder::ReadFile(run.folder + "/win/style/name.txt"), "backslashes");
    EXPECT_TRUE(fs::is_regular_file(run.folder + "/zero.txt"));
    EXPECT_EQ(fs::file_size(run.folder + "/zero.txt"), 0u);
}

// Catches ignored Unix permissions (the installer must stay executable) or kept set-uid bits.
TEST(UnzipArchive, KeepsPermissionBitsButNotSetUid)
{
    Unpacked run;
    ZipBuildEntry tool{"tool", "#!/bin/sh\n"};
    tool.externalAttributes = 0104755u << 16;
    ZipBuilder zip;
    zip.Add(tool);
    Unpack(run, zip);
    struct stat info {};
    ASSERT_EQ(stat((run.folder + "/tool").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    EXPECT_FALSE(info.st_mode & S_ISUID);
}

// Catches times taken from the wrong source: UT (local or central copy) first, else DOS local time.
TEST(UnzipArchive, SetsTimesFromExtendedTimestampOrDosFields)
{
    Unpacked run;
    ZipBuildEntry local{"local-ut.txt", "x"};
    local.localExtra = ZipBuilder::ExtendedTimestamp(1500000000, 1600000000);
    local.dosDate = ((2001 - 1980) << 9) | (1 << 5) | 1;
    ZipBuildEntry central{"central-ut.txt", "y"};
    central.centralExtra = ZipBuilder::ExtendedTimestamp(1400000000);
    ZipBuildEntry dos{"dos.txt", "z"};
    dos.dosDate = ((2021 - 1980) << 9) | (6 << 5) | 15;
    dos.dosTime = (13 << 11) | (45 << 5) | (30 / 2);
    ZipBuilder zip;
    zip.Add(local).Add(central).Add(dos);
    Unpack(run, zip);
    ASSERT_EQ(run.result.extracted, 3u);

    struct stat info {};
    ASSERT_EQ(stat((run.folder + "/local-ut.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1500000000);
    EXPECT_EQ(info.st_atime, 1600000000);
    ASSERT_EQ(stat((run.folder + "/central-ut.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1400000000);
    struct tm fields {};
    fields.tm_year = 121;
    fields.tm_mon = 5;
    fields.tm_mday = 15;
    fields.tm_hour = 13;
    fields.tm_min = 45;
    fields.tm_sec = 30;
    fields.tm_isdst = -1;
    ASSERT_EQ(stat((run.folder + "/dos.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, mktime(&fields));
}

// Catches one bad entry (damaged data, uncreatable path) aborting the rest, or a damaged file
// left behind to be started later.
TEST(UnzipArchive, DamagedEntryIsDroppedAndLaterEntriesStillWritten)
{
    Unpacked run;
    ZipBuildEntry damaged{"damaged.bin", Text(50000)};
    damaged.damageData = true;
    ZipBuildEntry badStored{"bad-stored.bin", "stored data"};
    badStored.deflate = false;
    badStored.damageData = true; // CRC mismatch only
    ZipBuilder zip;
    zip.Add(damaged)
        .Add(badStored)
        .AddFile("blocker", "a file")
        .AddFile("blocker/inside.txt", "its folder cannot be made")
        .AddFile("good.txt", "fine");
    Unpack(run, zip);
    EXPECT_EQ(run.result.status, UnzipStatus::Done);
    EXPECT_EQ(run.result.failed, 3u);
    EXPECT_FALSE(fs::exists(run.folder + "/damaged.bin"));
    EXPECT_FALSE(fs::exists(run.folder + "/bad-stored.bin"));
    EXPECT_EQ(TestFolder::ReadFile(run.folder + "/good.txt"), "fine");
}

// Catches names that escape the target folder by climbing, absolute paths or embedded NULs.
TEST(UnzipArchive, NamesNeverLeaveTheFolder)
{
    Unpacked run;
    std::string outside = run.temp.Path();
    ZipBuilder zip;
    zip.AddFile("../../slash-climb.txt", "1")
        .AddFile("..\\..\\backslash-climb.txt", "2")
        .AddFile("../single-climb.txt", "3")
        .AddFile("inner/..", "4")
        .AddFile(outside + "/absolute.txt", "5")
        .AddFile("C:\\drive.txt", "6")
        .AddFile(std::string("nul.txt\0/../../x", 16), "7");
    Unpack(run, zip);
    EXPECT_EQ(run.result.status, UnzipStatus::Done);
    EXPECT_EQ(TestFolder::ReadFile(run.folder + "/slash-climb.txt"), "1");
    EXPECT_EQ(TestFolder::ReadFile(run.folder + "/backslash-climb.txt"), "2");
    EXPECT_FALSE(fs::exists(run.folder + outside + "/absolute.txt"));
    EXPECT_FALSE(fs::exists(run.folder + "/drive.txt"));
    EXPECT_EQ(run.result.refused, 5u);
    for (const auto& item : fs::directory_iterator(outside)) {
        std::string name = item.path().filename().string();
        EXPECT_TRUE(name == "out" || name == "archive.zip") << "written outside: " << name;
    }
    EXPECT_FALSE(fs::exists(fs::path(outside).parent_path() / "slash-climb.txt"));
    EXPECT_FALSE(fs::exists(run.folder + "/nul.txt"));
}

// Catches a link entry being created, or writes that follow links already in the folder.
TEST(UnzipArchive, NeverCreatesOrFollowsSymbolicLinks)
{
    Unpacked run;
    std::string victim = run.temp / "victim";
    fs::create_directories(victim);
    TestFolder::WriteFile(victim + "/precious.txt", "keep me");
    fs::create_directories(run.folder);
    fs::create_directory_symlink(victim, run.folder + "/linked-dir");
    fs::create_symlink(victim + "/precious.txt", run.folder + "/linked-file.txt");

    ZipBuildEntry link{"escape", victim, false};
    link.externalAttributes = 0120777u << 16;
    ZipBuilder zip;
    zip.Add(link)
        .AddFile("escape/through-new-link.txt", "a")
        .AddFile("linked-dir/through-old-link.txt", "b")
        .AddFile("linked-file.txt", "c");
    Unpack(run, zip);
    EXPECT_EQ(run.result.refused, 1u);
    EXPECT_FALSE(IsLink(run.folder + "/escape"));
    EXPECT_FALSE(fs::exists(victim + "/through-new-link.txt"));
    EXPECT_FALSE(fs::exists(victim + "/through-old-link.txt"));
    EXPECT_EQ(TestFolder::ReadFile(victim + "/precious.txt"), "keep me");
    // The planted file link is replaced by a real file rather than written through.
    EXPECT_FALSE(IsLink(run.folder + "/linked-file.txt"));
    EXPECT_EQ(TestFolder::ReadFile(run.folder + "/linked-file.txt"), "c");
}

// Catches the classic bombs: lying sizes, shared data, huge declared totals, entry floods, ZIP64.
TEST(UnzipArchive, RefusesBombsAndUnsupportedArchives)
{
    ZipBuildEntry liar{"liar.bin", std::string(4 << 20, '\0')};
    liar.declaredSize = 1000;
    ZipBuildEntry huge{"huge.bin", "x"};
    huge.declaredSize = (1u << 30) + 1;
    ZipBuildEntry shared{"copy.bin", std::string(100000, 'a')};
    shared.shareDataWith = 0;
    ZipBuilder flood;
    for (int i = 0; i < 10001; ++i)
        flood.AddFile("f" + std::to_string(i), "", false);

    struct Case {
        const char* what;
        ZipBuilder zip;
        UnzipStatus status;
    } cases[] = {
        {"declared size exceeded", ZipBuilder().Add(liar).AddFile("after.txt", "ok"), UnzipStatus::Done},
        {"declared total over 1 GiB", ZipBuilder().Add(huge), UnzipStatus::TooLarge},
        {"overlapping entries", ZipBuilder().AddFile("first.bin", std::string(100000, 'a')).Add(shared),
            UnzipStatus::Overlapping},
        {"more than 10000 entries", flood, UnzipStatus::TooManyEntries},
        {"ZIP64", ZipBuilder().AddFile("x", "y").WithZip64Locator(), UnzipStatus::Zip64},
    };
    for (Case& c : cases) {
        Unpacked run;
        Unpack(run, c.zip);
        EXPECT_EQ(run.result.status, c.status) << c.what;
        EXPECT_FALSE(fs::exists(run.folder + "/liar.bin")) << c.what;
        EXPECT_FALSE(fs::exists(run.folder + "/copy.bin")) << c.what;
        EXPECT_FALSE(fs::exists(run.folder + "/f0")) << c.what;
        if (c.status != UnzipStatus::Done) {
            EXPECT_FALSE(run.result.message.empty()) << c.what;
        }
    }
}

// Catches UnzipToFolder reporting success for files that are not archives at all.
TEST(UnzipToFolder, TrueOnlyForReadableArchives)
{
    TestFolder temp;
    TestFolder::WriteFile(temp / "not.zip", "<html>Not Found</html>");
    TestFolder::WriteFile(temp / "empty.zip", "");
    std::string truncated = ZipBuilder().AddFile("a.txt", Text(5000)).Build();
    TestFolder::WriteFile(temp / "cut.zip", truncated.substr(0, truncated.size() / 2));
    ASSERT_TRUE(ZipBuilder().AddFile("a.txt", "a").WriteTo(temp / "ok.zip"));

    EXPECT_FALSE(UnzipToFolder(temp / "missing.zip", temp / "out"));
    EXPECT_FALSE(UnzipToFolder(temp / "not.zip", temp / "out"));
    EXPECT_FALSE(UnzipToFolder(temp / "empty.zip", temp / "out"));
    EXPECT_FALSE(UnzipToFolder(temp / "cut.zip", temp / "out"));
    EXPECT_TRUE(UnzipToFolder(temp / "ok.zip", temp / "out"));
    EXPECT_EQ(TestFolder::ReadFile(temp / "out/a.txt"), "a");
}
