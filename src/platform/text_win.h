// The one boundary between the core's code page 1251 text and Windows' UTF-16:
// conversions and the few text-carrying calls the shell makes.
#pragma once
#include <windows.h>

#include "platform/typed_text.h"

#include <string>

std::wstring WideFromCp1251(const std::string& cp1251);
// Lossy: a character outside 1251 becomes the system's look-alike (ü an u, Ł an L) or '?'. Only where
// that does no harm: text shown or compared with itself (titles, labels, window and program names)
// and number fields read as numbers; never for text the program types out or keeps as it was typed.
std::string Cp1251FromWide(const std::wstring& utf16);
// Exact: no look-alikes. When a character has no place in 1251 the result says which is the first
// (its UTF-16 index; a surrogate pair counts as one character), and its text holds '?' in their places.
Cp1251Conversion Cp1251FromWideExact(const std::wstring& utf16);
Cp1251Conversion Cp1251FromUtf16Exact(const std::u16string& utf16);  // the same, a Cp1251Converter
std::wstring WideFromUtf16(const std::u16string& utf16);
std::u16string Utf16FromWide(const std::wstring& wide);
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& utf16);

std::string GetControlText(HWND control);  // code page 1251, lossy as Cp1251FromWide
std::u16string GetControlTextUtf16(HWND control);  // as the control holds it
void SetControlText(HWND control, const std::string& cp1251);
int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type = MB_OK);
// A message that quotes what the user typed, which 1251 may not be able to show.
int ShowMessage(HWND owner, const std::u16string& text, const std::string& caption, UINT type = MB_OK);
// The system's own description of an error code (GetLastError), in the user's language; empty when
// it has none.
std::wstring SystemErrorText(DWORD code);
