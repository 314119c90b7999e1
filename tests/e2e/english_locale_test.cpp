// The Russian interface on a Windows whose code page for non-Unicode programs is not 1251:
// this program runs with an English locale (ANSI code page 1252) and so does the exe it starts.
#include "harness.h"

#include <gtest/gtest.h>

using namespace harness;

TEST(EnglishWindows, RussianTextsAreIntactInUtf16) {
    ASSERT_EQ(GetACP(), 1252u) << "the test must run with an English locale";
    App app;
    ASSERT_TRUE(StartApp(app));
    EXPECT_EQ(TextOf(app.window), L"Zubrilax");
    EXPECT_NE(FindChild(app.window, L"Button", L"СЛИЯНИЕ ПРИ ПЕЧАТИ"), nullptr);
    EXPECT_NE(FindChild(app.window, L"Static", L"Pause/Break - экстренная остановка"), nullptr);
    EXPECT_NE(FindChild(app.window, L"Button", L"XL (вставка в Excel)"), nullptr);
    EXPECT_EQ(CloseApp(app), 0u);
    EXPECT_EQ(SettingsIn(app), "0\r\n0\r\n1\r\n");
}
