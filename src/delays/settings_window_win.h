// The delay-settings window and the transfer of its fields into `delays`.
#pragma once
#include <windows.h>

extern HWND hSettingsWindow, hDoubleClickDelayEdit, hMasterOpenDelayEdit, hTypingDelayEdit, hEnterDelayEdit,
    hBetweenBarcodesDelayEdit, hPageSwitchDelayEdit, hInitialDelayEdit;

void ShowSettingsWindow();
LRESULT CALLBACK SettingsWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the seven fields of the settings window into `delays`.
void ReadDelaySettings();
// ReadDelaySettings, then writes the delays file; false when the file could not be written.
bool SaveDelaySettings();
