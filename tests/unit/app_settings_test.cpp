// The application options file: reading rules, defaults and the exact bytes written.
#include "app/app_settings.h"

#include <gtest/gtest.h>

#include <climits>

namespace {
struct Case {
    const char* name;
    const char* text;
    int alwaysOnTop, excelMode, useInternetAds;
};

const Case kCases[] = {
    {"defaults as written", "0\r\n0\r\n1\r\n", 0, 0, 1},
    {"all set", "1\r\n1\r\n0\r\n", 1, 1, 0},
    {"non-one values kept", "2\n-7\n5\n", 2, -7, 5},
    {"one line", "1 0 1", 1, 0, 1},
    {"trailing text ignored", "1\n1\n1\nrubbish 9", 1, 1, 1},
    {"empty file gives defaults", "", 0, 0, 1},
    {"truncated keeps defaults for the rest", "1\r\n", 1, 0, 1},
    {"a word stops the reading", "1\nyes\n0\n", 1, 0, 1},
    {"overflow stops the reading", "99999999999\n1\n0\n", 0, 0, 1},
    {"signs and the 32-bit bounds", "+3\r\n-2147483648\r\n2147483647", 3, INT_MIN, INT_MAX},
    {"just above 32 bits stops", "1\r\n2147483648\r\n0\r\n", 1, 0, 1},
    {"a sign without digits stops", "- 1\r\n1\r\n0\r\n", 0, 0, 1},
    {"trailing junk ends the number and stops the next", "4x\r\n1\r\n0\r\n", 4, 0, 1},
    {"blank lines, tabs and a missing last line end", "\r\n\r\n\t1\r\n\r\n \v2\f\r\n0", 1, 2, 0},
    {"a Cyrillic word stops the reading", "1\r\n\xE4\xE0\r\n0\r\n", 1, 0, 1},
};

TEST(AppSettingsFile, ReadsThreeIntegersInOrder) {
    for (const Case& c : kCases) {
        AppSettings s = ParseAppSettings(c.text);
        EXPECT_EQ(s.alwaysOnTop, c.alwaysOnTop) << c.name;
        EXPECT_EQ(s.excelMode, c.excelMode) << c.name;
        EXPECT_EQ(s.useInternetAds, c.useInternetAds) << c.name;
    }
}

TEST(AppSettingsFile, WritesThreeCrLfLines) {
    EXPECT_EQ(FormatAppSettings(DefaultAppSettings()), "0\r\n0\r\n1\r\n");
    AppSettings s;
    s.alwaysOnTop = 2;
    s.excelMode = INT_MIN;
    s.useInternetAds = 0;
    EXPECT_EQ(FormatAppSettings(s), "2\r\n-2147483648\r\n0\r\n");
    AppSettings back = ParseAppSettings(FormatAppSettings(s));
    EXPECT_EQ(back.alwaysOnTop, 2);
    EXPECT_EQ(back.excelMode, INT_MIN);
    EXPECT_EQ(back.useInternetAds, 0);
}

TEST(AppSettingsFile, BeforeTheFirstLoadAllOptionsAreOff) {
    AppSettings fresh;
    EXPECT_EQ(fresh.alwaysOnTop, 0);
    EXPECT_EQ(fresh.excelMode, 0);
    EXPECT_EQ(fresh.useInternetAds, 0);
}
}  // namespace
