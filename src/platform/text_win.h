// The one boundary between the core's code page 1251 text and Windows' UTF-16:
// conversions and the few text-carrying calls the shell makes.
#pragma once
#include <windows.h>

#include <string>

std::wstring WideFromCp1251(const std::string& cp1251);
std::string Cp1251FromWide(const std::wstring& utf16);  // characters outside 1251 become '?'
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& utf16);

std::string GetControlText(HWND control);  // code page 1251
void SetControlText(HWND control, const std::string& cp1251);
int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type = MB_OK);
// The system's own description of an error code (GetLastError), in the user's language; empty when
// it has none.
std::wstring SystemErrorText(DWORD code);
