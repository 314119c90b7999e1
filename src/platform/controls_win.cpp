// Creation of controls from ControlRow tables and the shared control operations.
#include "platform/controls_win.h"

#include "platform/captions.h"
#include "platform/dpi_win.h"
#include "platform/gdi_win.h"
#include "platform/text_win.h"

#include <string>

namespace {
// The 96-dpi box rides in the control's user data, which the standard controls leave to the program:
// four 16-bit fields, so it goes with the control and needs no list of its own.
static_assert(sizeof(LONG_PTR) >= 8, "the box takes 64 bits");
constexpr unsigned kBoxField = 0xFFFF;

LONG_PTR PackBox(const LayoutBox& box) {
    const auto field = [](int value, int shift) {
        return static_cast<unsigned long long>(static_cast<unsigned>(value) & kBoxField) << shift;
    };
    return static_cast<LONG_PTR>(field(box.x, 0) | field(box.y, 16) | field(box.width, 32) | field(box.height, 48));
}

LayoutBox UnpackBox(LONG_PTR packed) {
    const auto bits = static_cast<unsigned long long>(packed);
    const auto field = [bits](int shift) { return static_cast<int>(static_cast<short>((bits >> shift) & kBoxField)); };
    return {field(0), field(16), field(32), field(48)};
}
}  // namespace

LayoutBox BoxOf(const ControlRow& row) { return {row.x, row.y, row.width, row.height}; }

HWND CreateControlRow(HWND parent, const ControlRow& row) {
    const LayoutBox placed = ScaleBox(BoxOf(row), WindowDpi(parent));
    // Buttons and labels take '&' as the mark of an underlined access key; none of ours has one, so
    // an '&' is shown as itself: doubled on a button, which has no style for that, a plain one on a label.
    std::string text = row.text;
    DWORD style = row.style;
    if (text.find('&') != std::string::npos) {
        if (lstrcmpiA(row.className, "BUTTON") == 0) {
            for (size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 2)) text.insert(at, 1, '&');
        } else if (lstrcmpiA(row.className, "STATIC") == 0) {
            style |= SS_NOPREFIX;
        }
    }
    HWND control = CreateWindowExW(0, WideFromCp1251(row.className).c_str(), WideFromCp1251(text).c_str(),
                                   WS_CHILD | style, placed.x, placed.y, placed.width, placed.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), GetModuleHandleW(nullptr),
                                   nullptr);
    if (control) SetWindowLongPtrW(control, GWLP_USERDATA, PackBox(BoxOf(row)));
    if (row.handle) *row.handle = control;
    return control;
}

bool LayoutBoxOf(HWND control, LayoutBox& box) {
    const LONG_PTR packed = GetWindowLongPtrW(control, GWLP_USERDATA);
    if (packed == 0) return false;
    box = UnpackBox(packed);
    return true;
}

void RescaleControls(HWND parent, int dpi) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LayoutBox box;
        if (!LayoutBoxOf(child, box)) continue;
        const LayoutBox placed = ScaleBox(box, dpi);
        SetWindowPos(child, nullptr, placed.x, placed.y, placed.width, placed.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void RefontChildren(HWND parent, int dpi) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        if (HFONT scaled = SameFontAtDpi(font, dpi)) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), TRUE);
    }
}

int ApplyDpiChange(HWND window, WPARAM wParam, LPARAM lParam) {
    const int dpi = LOWORD(wParam);
    RescaleControls(window, dpi);
    RefontChildren(window, dpi);
    if (const RECT* suggested = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
    return dpi;
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
    // Through to_string: to_wstring would bring the C library's wide printf into the exe for this alone.
    for (int i = 1; i <= count; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromCp1251(std::to_string(i)).c_str()));
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
