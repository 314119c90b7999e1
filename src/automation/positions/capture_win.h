// The position rows of the main window, the capture-key hook and the coordinates file dialogs.
#pragma once
#include "automation/positions/coordinates.h"

#include <windows.h>

// The window the rows live in and its scroll bar; once, before the first UpdateCoordinateFields.
void AttachCoordinateRows(HWND parent, HWND scrollBar);
void UpdateCoordinateFields(int count);
void UpdateScroll();
LRESULT OnCoordsScroll(WPARAM wParam);  // WM_VSCROLL from the rows' scroll bar
// Starts a capture when `control` is a row's "Захват" button; false when it is not one.
bool OnCaptureButton(HWND control);
void CaptureCoordinates(int index);
LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam);
void SaveCoordinates();
// Asks for a file and replaces `positions` by its points; false when nothing changed. The caller
// shows the new count.
bool LoadCoordinates();
// The rectangle spanning every monitor now.
ScreenArea CurrentVirtualScreen();
