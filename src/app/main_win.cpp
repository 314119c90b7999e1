// Process entry: settings, title, the four window classes, the main window and the message loop.
#include "app/globals_win.h"
#include "app/text_win.h"
#include "delays/delay_settings.h"
#include "online/messages.h"
#include "online/title_win.h"

namespace {
int StartupFailure(const char* message) {
    ShowMessage(nullptr, message, kErrorCaption, MB_OK | MB_ICONERROR);
    return -1;
}
}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    hInst = hInstance;
    LoadDelaySettings();
    LoadAppSettings();
    LoadProgramTitle();

    if (!RegisterWindowClasses(hInstance)) return -1;

    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, L"RizidudUdaravuzuv", Wide(g_windowTitle).c_str(),
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 405, 575, nullptr, nullptr,
                                  hInstance, nullptr);
    if (!window) return StartupFailure("Ошибка создания главного окна!");
    hMainWindow = window;

    ShowWindow(window, nCmdShow);
    UpdateWindow(window);
    Sleep(100);
    LoadAppSettings();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
