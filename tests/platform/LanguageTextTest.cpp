// Text lookup in language files, the 1033 fallback, the cache, and the language chosen at start.
#include "platform/LanguageText.h"

#include "TestFolder.h"
#include "platform/Settings.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// A module folder with an English and a Chinese language file.
class LanguageTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder.Write("share/language/1033.lan", "[KB.DIALOG]\n1=Profile\n2=Lighting\n");
        m_folder.Write("share/language/2052.lan", "\xEF\xBB\xBF[KB.DIALOG]\n1=\xE9\x85\x8D\xE7\xBD\xAE\n");
        SetModuleFolder(m_folder.Path("share"));
        SetCurrentLanguage(1033);
    }
    void TearDown() override { SetCurrentLanguage(1033); }

    TestFolder m_folder;
};

} // namespace

// Catches lookups in the wrong file or section, or missing ids giving anything but empty text.
TEST_F(LanguageTextTest, LooksUpByLanguageSectionAndId) {
    EXPECT_EQ(LoadText("KB.DIALOG", 1), "Profile");
    EXPECT_EQ(LoadText(2), "Lighting");
    EXPECT_EQ(LoadText(3), "");
    EXPECT_EQ(LoadText("Other", 1), "");
    SetCurrentLanguage(2052);
    EXPECT_EQ(LoadText(1), "\xE9\x85\x8D\xE7\xBD\xAE");
    EXPECT_EQ(LoadText(2), ""); // present only in English: no mixing of files
}

// Catches a language without its own file showing no texts at all.
TEST_F(LanguageTextTest, LanguageWithoutFileFallsBackToEnglish) {
    SetCurrentLanguage(1031);
    EXPECT_EQ(LoadText(1), "Profile");
    EXPECT_EQ(GetLanguageFilePath(), m_folder.Path("share/language/1033.lan"));
    std::filesystem::remove(m_folder.Path("share/language/1033.lan"));
    EXPECT_EQ(LoadText(1), "");
}

// Catches a cache that hides an edited file or a language change until restart.
TEST_F(LanguageTextTest, EditedFileAndChangedLanguageTakeEffectAtNextLookup) {
    EXPECT_EQ(LoadText(1), "Profile");
    m_folder.Write("share/language/1033.lan", "[KB.DIALOG]\n1=Profiles (edited)\n");
    EXPECT_EQ(LoadText(1), "Profiles (edited)");
    m_folder.Write("share/language/1031.lan", "[KB.DIALOG]\n1=Profil\n");
    SetCurrentLanguage(1031);
    EXPECT_EQ(LoadText(1), "Profil");
    SetCurrentLanguage(1033);
    EXPECT_EQ(LoadText(1), "Profiles (edited)");
}

// Catches texts longer than the 259-character limit, or a cut through a multi-byte character.
TEST_F(LanguageTextTest, TextsAreLimitedTo259Characters) {
    std::string longText;
    for (int i = 0; i < 300; ++i)
        longText += "\xE4\xB8\xAD"; // one CJK character each
    m_folder.Write("share/language/1033.lan", "[KB.DIALOG]\n9=" + longText + "\n");
    EXPECT_EQ(LoadText(9), longText.substr(0, 259 * 3));
}

// Catches races between worker threads looking texts up and the main thread changing the language
// or the file (run under -DSANITIZE=thread to see them).
TEST_F(LanguageTextTest, ConcurrentLookupsSeeWholeTexts) {
    std::atomic<bool> wrong{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                const std::string text = LoadText(1);
                if (text != "Profile" && text != "Profile 2" && text != "\xE9\x85\x8D\xE7\xBD\xAE")
                    wrong = true;
            }
        });
    }
    for (int i = 0; i < 50; ++i) {
        SetCurrentLanguage(i % 2 ? 2052 : 1033);
        const std::string temp = m_folder.Write("share/language/new.tmp", i % 2 ? "[KB.DIALOG]\n1=Profile 2\n"
                                                                                : "[KB.DIALOG]\n1=Profile\n");
        std::filesystem::rename(temp, m_folder.Path("share/language/1033.lan"));
    }
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_FALSE(wrong);
}

// Catches locales mapped to the wrong Windows language, or codeset and modifier parts not ignored.
TEST(LanguageChoice, LocaleNamesMapToWindowsLanguages) {
    struct Case {
        const char* locale;
        int lcid;
    } cases[] = {
        {"zh_CN.UTF-8", 2052},
        {"zh_TW.UTF-8", 2052},
        {"zh", 2052},
        {"en_US.UTF-8", 1033},
        {"en_GB", 1033},
        {"de_DE.UTF-8", 1031},
        {"de_AT@euro", 3079},
        {"fr_CA.utf8", 3084},
        {"fr_FR", 1036},
        {"ja_JP.eucJP", 1041},
        {"pt_BR.UTF-8", 1046},
        {"pt_PT", 2070},
        {"ru_RU.KOI8-R", 1049},
        {"C", 1033},
        {"POSIX", 1033},
        {"C.UTF-8", 1033},
        {"", 1033},
        {"xx_YY", 1033},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LanguageFromLocaleName(c.locale), c.lcid) << c.locale;
    }
}

// Catches the wrong variable winning: LC_ALL over LC_MESSAGES over LANG, empty ones skipped.
TEST(LanguageChoice, LocaleVariablesInOrder) {
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "de_DE.UTF-8", 1);
    setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(GetUserLocaleName(), "de_DE.UTF-8");
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(GetUserLocaleName(), "ja_JP.UTF-8");
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(GetUserLocaleName(), "fr_FR.UTF-8");
    unsetenv("LANG");
    EXPECT_EQ(GetUserLocaleName(), "");
}

// Catches the first run storing the wrong language, or a stored language being overridden by the locale.
TEST(LanguageChoice, StartChoiceUsesStoredLanguageOrLocale) {
    struct Case {
        const char* stored; // nullptr: first run
        const char* locale;
        int current;
        const char* storedAfter;
    } cases[] = {
        {nullptr, "de_DE.UTF-8", 1031, "2052"}, // other language: this run German, stored Chinese
        {nullptr, "en_US.UTF-8", 1033, "1033"}, {nullptr, "zh_CN.UTF-8", 2052, "2052"},
        {"1033", "zh_CN.UTF-8", 1033, "1033"},  {"2052", "en_US.UTF-8", 2052, "2052"},
        {"junk", "en_US.UTF-8", 1033, "1033"}, // unreadable value counts as a first run
    };
    for (const Case& c : cases) {
        TestFolder folder;
        if (c.stored) {
            ASSERT_TRUE(WriteSettingString("LCID", c.stored));
        }
        setenv("LC_ALL", c.locale, 1);
        EXPECT_EQ(ChooseStartLanguage(), c.current) << c.locale;
        EXPECT_EQ(GetCurrentLanguage(), c.current);
        EXPECT_EQ(ReadSettingString("LCID"), c.storedAfter) << c.locale;
    }
    unsetenv("LC_ALL");
    SetCurrentLanguage(1033);
}
