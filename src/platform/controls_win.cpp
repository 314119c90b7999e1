// Creation of controls from ControlRow tables and the shared control operations.
#include "platform/controls_win.h"

#include "platform/captions.h"
#include "platform/text_win.h"

#include <string>

HWND CreateControlRow(HWND parent, const ControlRow& row) {
    HWND control = CreateWindowExW(0, WideFromCp1251(row.className).c_str(), WideFromCp1251(row.text).c_str(),
                                   WS_CHILD | row.style, row.x, row.y, row.width, row.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), GetModuleHandleW(nullptr),
                                   nullptr);
    if (row.handle) *row.handle = control;
    return control;
}

void CreateControlRows(HWND parent, const ControlRow* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) CreateControlRow(parent, rows[i]);
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

bool IsChecked(HWND box) { return box && SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND box, bool on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

int ComboIndex(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

void FillNumberCombo(HWND combo, int count, int selected) {
    for (int i = 1; i <= count; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
    SendMessageW(combo, CB_SETCURSEL, selected, 0);
}

bool BringForwardIfOpen(HWND window) {
    if (!window || !IsWindow(window)) return false;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return true;
}

void AllowListText(HWND edit) { SendMessageW(edit, EM_SETLIMITTEXT, kListFieldMaxChars, 0); }

void ShowListFieldFull(HWND owner) {
    ShowMessage(owner,
                "Текст не поместился в поле целиком: в поле списка может быть не больше " +
                    std::to_string(kListFieldMaxChars) + " символов.\nВставлено только начало текста.",
                kErrorCaption, MB_OK | MB_ICONWARNING);
}
