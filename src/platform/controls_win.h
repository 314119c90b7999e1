// Controls described as data (one row per child window, in creation order) and the few control
// operations every window shares.
#pragma once
#include <windows.h>

#include "platform/dpi_scale.h"

#include <cstddef>

struct ControlRow {
    const char* className;
    const char* text;  // code page 1251
    DWORD style;       // WS_CHILD is added
    int x, y, width, height;
    int id;
    HWND* handle;  // where the window keeps the handle, or nullptr
};

// The row's geometry is in 96-dpi pixels: the control is placed at it scaled to the parent's DPI, and
// keeps the 96-dpi box to be placed again when the DPI changes.
HWND CreateControlRow(HWND parent, const ControlRow& row);
void CreateControlRows(HWND parent, const ControlRow* rows, size_t count);
template <size_t N>
void CreateControlRows(HWND parent, const ControlRow (&rows)[N]) { CreateControlRows(parent, rows, N); }

// Gives `font` to every child window of `parent` that exists now.
void SetFontOnChildren(HWND parent, HFONT font);

LayoutBox BoxOf(const ControlRow& row);
// The 96-dpi box a control was created from; false for a control not made from a row.
bool LayoutBoxOf(HWND control, LayoutBox& box);
// Every child made from a row moves to its box scaled to `dpi`.
void RescaleControls(HWND parent, int dpi);
// Every child that has one of the program's fonts takes the same face made for `dpi`.
void RefontChildren(HWND parent, int dpi);
// WM_DPICHANGED: the controls made from tables move to their places at the new DPI and take the
// program's fonts made for it, then the window takes the rectangle the system suggests. Returns the
// new DPI.
int ApplyDpiChange(HWND window, WPARAM wParam, LPARAM lParam);

bool IsChecked(HWND box);  // false for a null handle
void SetChecked(HWND box, bool on);
int ComboIndex(HWND combo);
// Items "1" .. "count", with the item at `selected` chosen.
void FillNumberCombo(HWND combo, int count, int selected);

// Brings `window` forward (restoring it when minimised) if it exists; false when it does not, so the
// caller creates it.
bool BringForwardIfOpen(HWND window);

// The list fields (the variable list, list 1 and list 2) take text up to the size a table may have
// (32 MB), far beyond an edit control's default of about 32,000 characters.
constexpr int kListFieldMaxChars = 32 * 1024 * 1024;
void AllowListText(HWND edit);
// What EN_MAXTEXT from a list field tells the user: the paste did not fit and only its start is in.
void ShowListFieldFull(HWND owner);
