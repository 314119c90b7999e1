// The system's message box, with its text label given the room its drawn lines take.
#pragma once
#include <windows.h>

#include <string>

// MessageBoxW, and once the system has laid the box out, its text label widened into the box's right
// margin by up to a character, as long as the text still breaks into the same lines there.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);
