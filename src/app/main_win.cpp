// Process entry: settings, title, the four window classes, the main window and the message loop.
#include "app/app_settings_win.h"
#include "app/main_window_win.h"
#include "delays/delay_settings.h"
#include "online/title_win.h"
#include "platform/captions.h"
#include "platform/dialog_keys_win.h"
#include "platform/dpi_win.h"
#include "platform/text_win.h"

namespace {
constexpr int kMainWidth = 405, kMainHeight = 575;  // outer size at 96 dpi

int StartupFailure(const char* message) {
    ShowMessage(nullptr, message, kErrorCaption, MB_OK | MB_ICONERROR);
    return -1;
}
}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    LoadDelaySettings();
    LoadAppSettings();
    // The cached caption is known before the window exists, so it is created with it; the server is
    // asked once the window is up.
    LoadProgramTitle();

    if (!RegisterWindowClasses(hInstance)) return -1;

    HWND window = CreateTopWindowForDpi(WS_EX_DLGMODALFRAME, L"RizidudUdaravuzuv", WideFromCp1251(g_windowTitle).c_str(),
                                        WS_OVERLAPPEDWINDOW, kMainWidth, kMainHeight, nullptr);
    if (!window) return StartupFailure("Ошибка создания главного окна!");

    ShowWindow(window, nCmdShow);
    UpdateWindow(window);
    // Always-on-top is applied once the window is on screen and has painted: the topmost band given
    // to a window before its first show does not hold on every system. The loads before this one
    // only read the file, as the window did not exist yet.
    Sleep(100);
    LoadAppSettings();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateDialogKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
