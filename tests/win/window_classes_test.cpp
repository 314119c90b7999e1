// Start-up registration of the window classes, including the refusal when one cannot be registered.
#include "app/main_window_win.h"
#include "harness.h"

#include <gtest/gtest.h>

#include <thread>

using namespace harness;

namespace {
bool IsRegistered(const wchar_t* name) {
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    return GetClassInfoExW(GetModuleHandleW(nullptr), name, &info) != FALSE;
}
}  // namespace

TEST(WindowClasses, AFailedRegistrationShowsOneErrorAndStopsThere) {
    // A class of the same name already registered makes the third registration fail.
    WNDCLASSEXW blocker = {};
    blocker.cbSize = sizeof blocker;
    blocker.lpfnWndProc = DefWindowProcW;
    blocker.hInstance = GetModuleHandleW(nullptr);
    blocker.lpszClassName = L"BarcodeMerge";
    ASSERT_NE(RegisterClassExW(&blocker), 0);

    bool result = true;
    std::thread starter([&] { result = RegisterWindowClasses(GetModuleHandleW(nullptr)); });
    MessageBoxInfo box = WaitForMessageBox(GetCurrentProcessId());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_EQ(box.text, L"Ошибка регистрации окна слияния!");
    AnswerMessageBox(box.window);
    starter.join();

    EXPECT_FALSE(result);
    EXPECT_TRUE(TopWindows(GetCurrentProcessId(), L"#32770").empty());
    EXPECT_TRUE(IsRegistered(L"RizidudUdaravuzuv"));
    EXPECT_TRUE(IsRegistered(L"BarcodeSettings"));
    EXPECT_FALSE(IsRegistered(L"BarcodePreview"));
}
