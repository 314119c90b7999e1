// Loading, saving and applying the application options to the main window.
#include "app/app_settings.h"
#include "app/globals_win.h"

namespace {
bool MainWindowExists() { return hMainWindow && IsWindow(hMainWindow); }

void SetTopmost(HWND insertAfter) {
    SetWindowPos(hMainWindow, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool IsTopmost(HWND window) { return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
}  // namespace

void LoadAppSettings() {
    ReadAppSettingsFile(appSettings);
    if (!MainWindowExists()) return;
    UpdateWindowStyle();
    SendMessageW(hAlwaysOnTopCheck, BM_SETCHECK, appSettings.alwaysOnTop ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SaveAppSettings() { WriteAppSettingsFile(appSettings); }

void UpdateWindowStyle() {
    if (!MainWindowExists()) return;
    if (appSettings.alwaysOnTop) {
        SetTopmost(HWND_TOPMOST);
        if (!IsTopmost(hMainWindow)) SetTopmost(HWND_TOPMOST);
    } else {
        SetTopmost(HWND_NOTOPMOST);
    }
    RedrawWindow(hMainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    Sleep(50);
    RedrawWindow(hMainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

// Re-asserts the topmost band after activation or a z-order change (the window procedure calls these).
void ReassertTopmost(HWND window) {
    if (appSettings.alwaysOnTop && !IsTopmost(window))
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
