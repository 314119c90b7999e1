// The four window classes of the utility, registered in a fixed order at start-up.
#include "app/main_window_win.h"
#include "delays/settings_window_win.h"
#include "platform/captions.h"
#include "platform/text_win.h"
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
}  // namespace

bool RegisterWindowClasses(HINSTANCE instance) {
    for (const WindowClass& windowClass : kWindowClasses) {
        if (!RegisterWindowClass(instance, windowClass)) {
            ShowMessage(nullptr, windowClass.failureMessage, kErrorCaption, MB_OK | MB_ICONERROR);
            return false;
        }
    }
    return true;
}
