// Creation of controls from ControlSpec tables.
#include "app/control_table_win.h"

#include "app/globals_win.h"
#include "app/text_win.h"

HWND CreateControl(HWND parent, const ControlSpec& spec) {
    HWND control = CreateWindowExW(0, Wide(spec.className).c_str(), Wide(spec.text).c_str(), WS_CHILD | spec.style,
                                   spec.x, spec.y, spec.width, spec.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), hInst, nullptr);
    if (spec.global) *spec.global = control;
    return control;
}

void CreateControls(HWND parent, const ControlSpec* specs, size_t count) {
    for (size_t i = 0; i < count; ++i) CreateControl(parent, specs[i]);
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
