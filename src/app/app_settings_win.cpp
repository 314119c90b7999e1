// Loading, saving and applying the application options to the main window.
#include "app/app_settings_win.h"

#include "app/app_settings.h"
#include "app/main_window_ids.h"
#include "platform/app_window_win.h"
#include "platform/controls_win.h"

namespace {
void SetTopmost(HWND window, HWND insertAfter) {
    SetWindowPos(window, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool IsTopmost(HWND window) { return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
}  // namespace

void LoadAppSettings() {
    ReadAppSettingsFile(appSettings);
    HWND window = AppWindow();
    if (!window) return;
    UpdateWindowStyle();
    SetChecked(GetDlgItem(window, kAlwaysOnTopCheckId), appSettings.alwaysOnTop != 0);
}

bool SaveAppSettings() { return WriteAppSettingsFile(appSettings); }

void UpdateWindowStyle() {
    HWND window = AppWindow();
    if (!window) return;
    if (appSettings.alwaysOnTop) {
        SetTopmost(window, HWND_TOPMOST);
        // Asked once more when the first request did not take: a window in the middle of being
        // shown or activated can come out of it without the topmost style.
        if (!IsTopmost(window)) SetTopmost(window, HWND_TOPMOST);
    } else {
        SetTopmost(window, HWND_NOTOPMOST);
    }
    // The frame is drawn again once the z-order change has settled, so the caption shows the state
    // the window is really in.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    Sleep(50);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

// Re-asserts the topmost band after activation or a z-order change (the window procedure calls these).
void ReassertTopmost(HWND window) {
    if (appSettings.alwaysOnTop && !IsTopmost(window))
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
