// The INI reader behind the settings file and the language files.
#include "platform/IniFile.h"

#include <gtest/gtest.h>

// Catches lookups that are case-sensitive, keep quotes or blanks, read comments, or take a later duplicate.
TEST(IniFile, LooksUpValuesLikeProfileFiles) {
    IniFile ini;
    ini.Parse("; comment=1\r\n[KB.DIALOG]\r\n1 = Profile \r\n2=\"  quoted  \"\r\n# 3=hidden\r\n"
              "1=later duplicate\r\n[Other]\r\n4=other section\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected; // nullptr: absent
    } cases[] = {
        {"KB.DIALOG", "1", "Profile"}, {"kb.dialog", "1", "Profile"}, {"KB.DIALOG", "2", "  quoted  "},
        {"KB.DIALOG", "3", nullptr},   {"KB.DIALOG", "4", nullptr},   {"Other", "4", "other section"},
        {"Missing", "1", nullptr},     {"", "; comment", nullptr},
    };
    for (const Case& c : cases) {
        const auto value = ini.GetValue(c.section, c.key);
        if (c.expected) {
            EXPECT_EQ(value.value_or("<absent>"), c.expected) << c.section << "/" << c.key;
        } else {
            EXPECT_FALSE(value.has_value()) << c.section << "/" << c.key;
        }
    }
}

// Catches UTF-16 files (as Windows editors save them) read as garbage, including surrogate pairs.
TEST(IniFile, DecodesUtf16WithBom) {
    const std::u16string text = u"[S]\r\n7=\u4e2d\u6587 \U0001F600\r\n";
    for (bool bigEndian : {false, true}) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? high : low;
            bytes += bigEndian ? low : high;
        }
        IniFile ini;
        ini.Parse(bytes);
        EXPECT_EQ(ini.GetValue("S", "7").value_or(""), "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80")
            << bigEndian;
    }
}

// Catches an edit that drops comments or other sections, or appends a duplicate instead of replacing.
TEST(IniFile, EditKeepsTheRestOfTheFile) {
    IniFile ini;
    ini.Parse("# kept\n[settings]\nLCID=1033\n\n[other]\nx=1\n");
    ini.SetValue("settings", "lcid", "2052");
    ini.SetValue("settings", "exit_mode", "1");
    ini.SetValue("new", "a", "b");
    EXPECT_EQ(ini.ToText(), "# kept\n[settings]\nlcid=2052\nexit_mode=1\n\n[other]\nx=1\n\n[new]\na=b\n");
}
