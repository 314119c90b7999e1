// Process entry: settings, title, the four window classes, the main window and the message loop.
#include "app/globals_win.h"
#include "app/text_win.h"
#include "delays/delay_settings.h"
#include "delays/settings_window_win.h"
#include "online/messages.h"
#include "online/title_win.h"
#include "tables/merge_window_win.h"
#include "tables/preview_win.h"

namespace {
struct WindowClass {
    const wchar_t* name;
    WNDPROC procedure;
    const char* failureMessage;
};

const WindowClass kWindowClasses[] = {
    {L"RizidudUdaravuzuv", WndProc, "Ошибка регистрации главного окна!"},
    {L"BarcodeSettings", SettingsWndProc, "Ошибка регистрации окна настроек!"},
    {L"BarcodeMerge", MergeWndProc, "Ошибка регистрации окна слияния!"},
    {L"BarcodePreview", PreviewWndProc, "Ошибка регистрации окна предпросмотра!"},
};

bool RegisterWindowClass(HINSTANCE instance, const WindowClass& windowClass) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowClass.procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = windowClass.name;
    return RegisterClassExW(&wc) != 0;
}

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

    for (const WindowClass& windowClass : kWindowClasses)
        if (!RegisterWindowClass(hInstance, windowClass)) return StartupFailure(windowClass.failureMessage);

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
