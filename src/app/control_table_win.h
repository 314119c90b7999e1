// Controls described as data: one row per child window, in creation order.
#pragma once
#include <windows.h>

#include <cstddef>

struct ControlSpec {
    const char* className;
    const char* text;  // code page 1251
    DWORD style;       // WS_CHILD is added
    int x, y, width, height;
    int id;
    HWND* global;  // where the handle is kept, or nullptr
};

HWND CreateControl(HWND parent, const ControlSpec& row);
void CreateControls(HWND parent, const ControlSpec* rows, size_t count);
template <size_t N>
void CreateControls(HWND parent, const ControlSpec (&rows)[N]) { CreateControls(parent, rows, N); }

// Gives `font` to every child window of `parent` that exists now.
void SetFontOnChildren(HWND parent, HFONT font);
