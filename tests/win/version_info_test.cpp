// The exe's version information, as the file's Properties window shows it, read back from the file.
#include "harness.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// The exe under test: the one the build made, or the one named by RIZ_VERSION_EXE (the release archive's).
std::wstring ExePath() {
    if (const char* given = std::getenv("RIZ_VERSION_EXE"); given && *given) return harness::LinuxToWine(given);
    return harness::BuildDir() + L"\\RizidudUdaravuzuv.exe";
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The build number the exe must carry: the one its build tree was configured with (version.txt,
// "2.1.<number>"; 0 in a tree without git history), or RIZ_VERSION when the exe comes from another
// tree. -1 when neither says.
long ExpectedBuild() {
    const char* given = std::getenv("RIZ_VERSION");
    const std::string version =
        (given && *given) ? given : harness::ReadFileBytes(harness::BuildDir() + L"\\version.txt");
    if (version.rfind("2.1.", 0) != 0 || version.size() < 5 || !std::isdigit(static_cast<unsigned char>(version[4])))
        return -1;
    return std::strtol(version.c_str() + 4, nullptr, 10);
}

class VersionInfo : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(ExpectedBuild(), 0) << "no version.txt (2.1.<number>) in the build tree";
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(ExePath().c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version resource in " << harness::ToUtf8(ExePath());
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(ExePath().c_str(), 0, size, block.data()));
    }
    std::wstring Value(const wchar_t* language, const wchar_t* name) {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\") + language + L"\\" + name;
        wchar_t* text = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return {};
        return text;
    }
    std::vector<char> block;
};
}  // namespace

TEST_F(VersionInfo, FileAndProductVersionAreTwoOneAndTheBuildNumber) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, (2u << 16) | 1u);
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(ExpectedBuild()) << 16);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionInfo, RussianAndEnglishDetailsNameTheProgramAndItsFile) {
    const std::wstring version = Wide("2.1." + std::to_string(ExpectedBuild()));
    for (const wchar_t* language : {L"041904B0", L"040904B0"}) {
        SCOPED_TRACE(harness::ToUtf8(language));
        EXPECT_EQ(Value(language, L"FileVersion"), version);
        EXPECT_EQ(Value(language, L"ProductVersion"), version);
        EXPECT_EQ(Value(language, L"ProductName"), L"RizidudUdaravuzuv");
        EXPECT_EQ(Value(language, L"OriginalFilename"), L"RizidudUdaravuzuv.exe");
        EXPECT_EQ(Value(language, L"LegalCopyright").rfind(L"© 2026 ", 0), 0u);
    }
    EXPECT_EQ(Value(L"041904B0", L"FileDescription"), L"Заполнение штрихкодов, таблицы слияния и пароли");
    EXPECT_EQ(Value(L"040904B0", L"FileDescription"), L"Barcode filling, print-merge tables and passwords");
}
