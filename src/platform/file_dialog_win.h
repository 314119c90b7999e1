// The open and save dialogs for the text files the program reads and writes (*.txt first).
#pragma once
#include <windows.h>

#include <string>

// Asks for a file name to save to, `defaultName` (code page 1251) proposed; asks before replacing an
// existing file. False when the user cancels.
bool AskSaveFileName(HWND owner, const std::string& defaultName, std::wstring& path);
// Asks for an existing file to open; false when the user cancels.
bool AskOpenFileName(HWND owner, std::wstring& path);
