// The application options applied to the main window.
#pragma once
#include <windows.h>

// Reads the options file; once the main window exists, also applies always-on-top and its box.
void LoadAppSettings();
// False when the file could not be written.
bool SaveAppSettings();
// Puts the main window in or out of the topmost band as the option says.
void UpdateWindowStyle();
// Back into the topmost band if the option is on and it was lost.
void ReassertTopmost(HWND window);
