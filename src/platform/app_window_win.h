// The program's main window as every floor needs it: the owner of its dialogs and message boxes,
// and the window whose end ends a run. The main window registers itself once it exists.
#pragma once
#include <windows.h>

#include <string>

void SetAppWindow(HWND window);
HWND AppWindow();  // null before it exists and after it is gone

// A secondary window of the program: a dialog-framed, visible overlapped window owned by the main
// window, at the system's default place, shown with `showCommand` and painted at once. Null on failure.
// `width` × `height` is the outer size at 96 dpi; the window gets it scaled to its monitor's DPI.
HWND CreateOwnedWindow(const wchar_t* className, const char* titleCp1251, int width, int height, int showCommand);

// The main window's caption is the program title, with a run's progress before it while one is
// shown: "<progress> · <title>". Both parts are kept here, so either can change alone.
// A new title (the program's title update) drops a progress note that was not marked to outlive it.
void SetAppTitle(const std::string& titleCp1251);
// An empty `progressCp1251` leaves the title alone.
void SetAppProgress(const std::string& progressCp1251, bool keepOnTitleChange);
