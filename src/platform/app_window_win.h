// The program's main window as every floor needs it: the owner of its dialogs and message boxes,
// and the window whose end ends a run. The main window registers itself once it exists.
#pragma once
#include <windows.h>

void SetAppWindow(HWND window);
HWND AppWindow();  // null before it exists and after it is gone

// A secondary window of the program: a dialog-framed, visible overlapped window owned by the main
// window, at the system's default place, shown with `showCommand` and painted at once. Null on failure.
HWND CreateOwnedWindow(const wchar_t* className, const char* titleCp1251, int width, int height, int showCommand);
