// The delay-settings window and the transfer of its fields into `delays`.
#pragma once
#include <windows.h>

// Opens the window, or brings the open one to the front.
void ShowSettingsWindow();
// Creates the window's controls and fills the fields with the delays in force.
void CreateSettingsControls(HWND hWnd);
LRESULT CALLBACK SettingsWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the seven fields of the settings window into `delays`.
void ReadDelaySettings();
// ReadDelaySettings, then writes the delays file; false when the file could not be written.
bool SaveDelaySettings();
