#include "platform/app_window_win.h"

#include "platform/text_win.h"

namespace {
HWND appWindow = nullptr;
}  // namespace

void SetAppWindow(HWND window) { appWindow = window; }

HWND AppWindow() { return appWindow && IsWindow(appWindow) ? appWindow : nullptr; }

HWND CreateOwnedWindow(const wchar_t* className, const char* titleCp1251, int width, int height, int showCommand) {
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, className, WideFromCp1251(titleCp1251).c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, width, height,
                                  AppWindow(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) return nullptr;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}
