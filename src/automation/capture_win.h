// Coordinate rows of the main window, the capture-key hook and the coordinates file dialogs.
#pragma once
#include <windows.h>

#include <vector>

extern std::vector<HWND> coordEdits;      // X and Y field of every row shown, X first
extern std::vector<HWND> captureButtons;  // "Захват" button of every row shown
extern HHOOK g_keyboardHook;

void UpdateCoordinateFields(int count);
void UpdateScroll();
LRESULT OnCoordsScroll(WPARAM wParam);  // WM_VSCROLL from hCoordsScroll
void CaptureCoordinates(int index);
LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam);
void SaveCoordinates();
void LoadCoordinates();
