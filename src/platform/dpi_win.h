// The DPI each window is laid out for: the program declares itself aware of every monitor's DPI (its
// manifest), so it scales the 96-dpi layout itself and follows a window moved to another monitor.
#pragma once
#include <windows.h>

#include "platform/dpi_scale.h"

// The DPI of the monitor the window is on; the system's where the system knows no other.
int WindowDpi(HWND window);
// The DPI the system started with (that of the primary monitor at sign-in): the size a top-level
// window is created with before it knows its monitor.
int SystemDpi();
// The primary monitor's DPI now: the factor the system applied to the screen points of a program
// that was not aware of DPI.
int PrimaryMonitorDpi();

// A top-level window at the system's default place whose outer size is `width` × `height` at 96 dpi:
// made for the system's DPI, then sized again for the monitor it came up on. Null on failure.
HWND CreateTopWindowForDpi(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int width,
                           int height, HWND owner);
