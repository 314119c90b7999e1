// The delay-settings window (to be completed: controls, Apply, Close).
#include "delays/settings_window_win.h"

HWND hSettingsWindow = nullptr, hDoubleClickDelayEdit = nullptr, hMasterOpenDelayEdit = nullptr,
     hTypingDelayEdit = nullptr, hEnterDelayEdit = nullptr, hBetweenBarcodesDelayEdit = nullptr,
     hPageSwitchDelayEdit = nullptr, hInitialDelayEdit = nullptr;

void ShowSettingsWindow() {}

LRESULT CALLBACK SettingsWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) hSettingsWindow = nullptr;
    return DefWindowProcW(hWnd, message, wParam, lParam);
}
