// Coordinate rows and capture (to be completed).
#include "automation/automation_state.h"
#include "automation/capture_win.h"

std::vector<HWND> coordEdits;
std::vector<HWND> captureButtons;
HHOOK g_keyboardHook = nullptr;

void UpdateCoordinateFields(int count) { positions.resize(count > 0 ? count : 0); }
void UpdateScroll() {}
LRESULT OnCoordsScroll(WPARAM) { return 0; }
void CaptureCoordinates(int) {}
LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(g_keyboardHook, nCode, wParam, lParam);
}
void SaveCoordinates() {}
void LoadCoordinates() {}
