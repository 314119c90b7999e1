// Scrambled cache files: the key sequence, round trips through real files, the path beside the
// executable and the one-month freshness rule.
#include "online/cache_file.h"

#include "fakes/online_fakes.h"

#include <gtest/gtest.h>

namespace {
std::vector<unsigned char> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(CacheScrambling, KeyRestartsEveryEightBytes) {
    struct Case {
        std::vector<unsigned char> input, expected;
    };
    const Case cases[] = {
        {{}, {}},
        {{0x00}, {0x5C}},
        {{0xFF}, {0xA3}},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0}, {0x5C, 0x13, 0xE7, 0x28, 0x91, 0x6D, 0xB4, 0x0F, 0x5C}},
        {{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I'},
         {'A' ^ 0x5C, 'B' ^ 0x13, 'C' ^ 0xE7, 'D' ^ 0x28, 'E' ^ 0x91, 'F' ^ 0x6D, 'G' ^ 0xB4, 'H' ^ 0x0F, 'I' ^ 0x5C}},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> data = c.input;
        XorEncryptDecrypt(data);
        EXPECT_EQ(data, c.expected);
        XorEncryptDecrypt(data);
        EXPECT_EQ(data, c.input);
    }
}

TEST(CacheFiles, RoundTripKeepsEveryByteAndStoresOnlyScrambledBytes) {
    TempCacheHost host;
    const std::string text = std::string("Заголовок\r\nline\n\0tail\x80\xFF\r", 24);
    ASSERT_TRUE(SaveEncryptedToFile(host, text, "title.dat"));
    std::vector<unsigned char> expected = Bytes(text);
    XorEncryptDecrypt(expected);
    EXPECT_EQ(Bytes(host.RawFile("title.dat")), expected);

    std::string loaded = "old";
    ASSERT_TRUE(LoadEncryptedFromFile(host, "title.dat", text.size(), loaded));
    EXPECT_EQ(loaded, text);
    // One byte beyond the reader's cap: not loaded, nothing changed.
    EXPECT_FALSE(LoadEncryptedFromFile(host, "title.dat", text.size() - 1, loaded));
    EXPECT_EQ(loaded, text);

    // A second save starts the key again and replaces the whole file.
    ASSERT_TRUE(SaveEncryptedToFile(host, "x", "title.dat"));
    EXPECT_EQ(Bytes(host.RawFile("title.dat")), std::vector<unsigned char>{'x' ^ 0x5C});
}

TEST(CacheFiles, EmptyOrMissingFilesDoNotLoad) {
    TempCacheHost host;
    ASSERT_TRUE(SaveEncryptedToFile(host, "", "empty.dat"));
    EXPECT_TRUE(host.Exists("empty.dat"));
    EXPECT_EQ(host.RawFile("empty.dat"), "");
    std::string kept = "kept";
    EXPECT_FALSE(LoadEncryptedFromFile(host, "empty.dat", 255, kept));
    EXPECT_FALSE(LoadEncryptedFromFile(host, "missing.dat", 255, kept));
    EXPECT_EQ(kept, "kept");
}

TEST(CacheFiles, UnknownExecutablePathFailsSafely) {
    TempCacheHost host;
    ASSERT_TRUE(SaveEncryptedToFile(host, "text", "title.dat"));
    host.pathWorks = false;
    std::string kept = "kept";
    EXPECT_FALSE(SaveEncryptedToFile(host, "new", "title.dat"));
    EXPECT_FALSE(LoadEncryptedFromFile(host, "title.dat", 255, kept));
    EXPECT_EQ(kept, "kept");
    EXPECT_TRUE(IsFileOlderThanMonth(host, "title.dat"));
}

TEST(CachePath, FileLiesBesideTheExecutable) {
    struct Case {
        std::string exe, expected;
        bool fits;
    };
    const std::string dir250 = "C:\\" + std::string(246, 'd') + "\\";  // 250 characters
    const std::string dir251 = "C:\\" + std::string(247, 'd') + "\\";
    const Case cases[] = {
        {"C:\\Program Files\\App\\RizidudUdaravuzuv.exe", "C:\\Program Files\\App\\title.dat", true},
        {"/opt/app/bin/app", "/opt/app/bin/title.dat", true},
        {"C:\\dir.v2/sub\\app.exe", "C:\\dir.v2/sub\\title.dat", true},
        {"app.exe", "app.exetitle.dat", true},  // no separator: appended to the whole path
        {"C:\\app.exe", "C:\\title.dat", true},
        {dir250 + "app.exe", dir250 + "title.dat", true},  // 259 characters: fits
        {dir251 + "app.exe", "", false},                   // 260 characters: does not
    };
    for (const Case& c : cases) {
        std::string path = "unchanged";
        EXPECT_EQ(BuildCachePath(c.exe, "title.dat", path), c.fits) << c.exe;
        EXPECT_EQ(path, c.fits ? c.expected : "unchanged");
    }
    // The limit counts characters, so a Cyrillic folder of the same length fits as well.
    std::string cyrillic = "C:\\";
    for (int i = 0; i < 246; ++i) cyrillic += "\xD0\xB6";  // UTF-8 "ж"
    std::string path;
    EXPECT_TRUE(BuildCachePath(cyrillic + "\\app.exe", "title.dat", path));
}

TEST(CacheFreshness, StrictlyMoreThanThirtyDaysIsOld) {
    constexpr uint64_t kWritten = 130000000000000000ULL;  // a day in 2012, in 100-ns intervals
    struct Case {
        const char* name;
        uint64_t now;
        bool older;
    };
    const Case cases[] = {
        {"just written", kWritten, false},
        {"exactly 30 days", kWritten + monthIn100ns, false},
        {"30 days and 100 ns", kWritten + monthIn100ns + 1, true},
        {"a year later", kWritten + 12 * monthIn100ns, true},
        {"written in the future", kWritten - 1, true},
    };
    TempCacheHost host;
    ASSERT_TRUE(SaveEncryptedToFile(host, "title", "title.dat"));
    host.written = kWritten;
    for (const Case& c : cases) {
        host.now = c.now;
        EXPECT_EQ(IsFileOlderThanMonth(host, "title.dat"), c.older) << c.name;
    }
    host.now = kWritten;
    EXPECT_TRUE(IsFileOlderThanMonth(host, "missing.dat"));
}

TEST(CacheFreshness, RealFileTimesAreFreshAfterASave) {
    // The platform's own clock and file times agree on units and epoch.
    CacheHost& system = SystemCacheHost();
    std::string exe;
    ASSERT_TRUE(system.ExecutablePath(exe));
    TempCacheHost temp;
    ASSERT_TRUE(SaveEncryptedToFile(temp, "x", "fresh.dat"));
    uint64_t written = 0;
    ASSERT_TRUE(system.LastWriteTime(temp.PathOf("fresh.dat"), written));
    const uint64_t now = system.CurrentFileTime();
    // The clock may be coarser than file times, so "now" can trail a fresh write by a moment.
    const int64_t age = static_cast<int64_t>(now - written);
    EXPECT_GT(age, -10000000LL) << "written " << written << " now " << now;
    EXPECT_LT(age, 10LL * 60 * 10000000) << "written " << written << " now " << now;
    EXPECT_GT(now, 130000000000000000ULL);
}
}  // namespace
