// Creation of controls from ControlSpec tables.
#include "app/control_table_win.h"

#include "app/globals_win.h"
#include "app/text_win.h"

HWND CreateControl(HWND parent, const ControlSpec& row) {
    HWND control = CreateWindowExW(0, Wide(row.className).c_str(), Wide(row.text).c_str(), WS_CHILD | row.style,
                                   row.x, row.y, row.width, row.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), hInst, nullptr);
    if (row.global) *row.global = control;
    return control;
}

void CreateControls(HWND parent, const ControlSpec* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) CreateControl(parent, rows[i]);
}

namespace {
BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}
}  // namespace

void SetFontOnChildren(HWND parent, HFONT font) {
    EnumChildWindows(parent, SetFontOnChild, reinterpret_cast<LPARAM>(font));
}
