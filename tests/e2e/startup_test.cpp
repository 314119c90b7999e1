// Start-up and shutdown of the real exe: caption, settings files, topmost option, working directory.
#include "harness.h"

#include <gtest/gtest.h>

using namespace harness;

TEST(Startup, FirstStartShowsDefaultTitleAndWritesDefaultSettingsOnClose) {
    App app;
    ASSERT_TRUE(StartApp(app));
    EXPECT_EQ(TextOf(app.window), L"Zubrilax");
    EXPECT_FALSE(IsTopmost(app.window));
    EXPECT_TRUE(ExStyleOf(app.window) & WS_EX_DLGMODALFRAME);
    RECT rect;
    GetWindowRect(app.window, &rect);
    EXPECT_EQ(rect.right - rect.left, 405);
    EXPECT_EQ(rect.bottom - rect.top, 575);
    EXPECT_FALSE(FileExists(JoinPath(app.workDir, L"barcode_delays.cfg")));
    EXPECT_EQ(CloseApp(app), 0u);
    EXPECT_EQ(SettingsIn(app), "0\r\n0\r\n1\r\n");
}

TEST(Startup, TopmostSettingIsAppliedAndWrittenBackUnchanged) {
    const struct {
        const char* file;
        const char* written;
    } cases[] = {
        {"1\r\n1\r\n0\r\n", "1\r\n1\r\n0\r\n"},
        {"2\n0\n1\n", "2\r\n0\r\n1\r\n"},  // a value of two stays two
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        App app;
        ASSERT_TRUE(StartAppWithFile(app, L"barcode_app.cfg", c.file));
        EXPECT_TRUE(WaitUntil([&] { return IsTopmost(app.window); }));
        EXPECT_EQ(CloseApp(app), 0u);
        EXPECT_EQ(SettingsIn(app), c.written);
    }
}

TEST(Startup, UsesTheSettingsOfItsWorkingDirectoryOnly) {
    // A settings file beside the exe's build folder must not matter; each working directory has its own.
    std::wstring first = MakeTempDir(), second = MakeTempDir();
    WriteFileBytes(JoinPath(first, L"barcode_app.cfg"), "1\r\n0\r\n1\r\n");
    App a;
    ASSERT_TRUE(StartApp(a, second));
    EXPECT_FALSE(IsTopmost(a.window));
    EXPECT_EQ(CloseApp(a), 0u);
    EXPECT_EQ(ReadFileBytes(JoinPath(first, L"barcode_app.cfg")), "1\r\n0\r\n1\r\n");
    EXPECT_EQ(ReadFileBytes(JoinPath(second, L"barcode_app.cfg")), "0\r\n0\r\n1\r\n");
}

TEST(Startup, DelaysFileIsReadButNotRewrittenAtStart) {
    App app;
    ASSERT_TRUE(StartAppWithFile(app, L"barcode_delays.cfg", "300ms\n"));
    EXPECT_EQ(CloseApp(app), 0u);
    EXPECT_EQ(ReadFileBytes(JoinPath(app.workDir, L"barcode_delays.cfg")), "300ms\n");
}
