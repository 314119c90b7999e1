// File writing of the table and password saves and messages that embed a path.
#pragma once
#include <windows.h>

#include <string>

// Replaces the file with exactly `bytes`; false when it cannot be written.
bool WriteTextFile(const std::wstring& path, const std::string& bytes);

// The text that message builders are given in place of a path; ShowMessageWithPath puts the path
// itself there, whole and in UTF-16, so no character of it is lost to the code page.
constexpr const char* kPathMarker = "\x01";
int ShowMessageWithPath(HWND owner, const std::string& text, const std::wstring& path, const std::string& caption);
