// The merge window: its controls (a data table), the list fields' visibility and its commands.
#include "tables/merge_window_win.h"

#include "platform/app_window_win.h"
#include "platform/controls_win.h"
#include "platform/dialog_keys_win.h"
#include "platform/dpi_win.h"
#include "platform/gdi_win.h"
#include "platform/text_win.h"
#include "tables/merge_window_ids.h"
#include "tables/preview_win.h"
#include "tables/table_content_win.h"

#include <string>

HWND hMergeWindow = nullptr, hMergeColumnsCombo = nullptr, hUseList1Check = nullptr, hUseList2Check = nullptr,
     hList1Edit = nullptr, hList2Edit = nullptr, hMergePrefixEdit = nullptr, hMergeStartEdit = nullptr,
     hMergeCountEdit = nullptr, hCreateTableButton = nullptr, hTransposeCheck = nullptr, hForBarcodeCheck = nullptr;

namespace {
constexpr DWORD V = WS_VISIBLE;
constexpr DWORD T = WS_TABSTOP;
constexpr DWORD kCheck = V | T | BS_AUTOCHECKBOX;
constexpr DWORD kListEdit = T | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;

// Controls 1-31, in creation order.
const ControlRow kMergeControls[] = {
    {"STATIC", "ГЕНЕРАТОР ТАБЛИЦ ДЛЯ СЛИЯНИЯ", V | SS_CENTER, 10, 10, 340, 30, 0, nullptr},
    {"STATIC", "  Столбцов в строке:", V, 10, 45, 277, 20, 0, nullptr},
    {"COMBOBOX", "", V | T | CBS_DROPDOWNLIST, 290, 45, 60, 450, kMergeColumnsComboId, &hMergeColumnsCombo},
    {"BUTTON", "Данные из списка 1", kCheck, 10, 70, 340, 20, kUseList1CheckId, &hUseList1Check},
    {"BUTTON", "Вторые столбцы из списка 2", kCheck, 10, 95, 340, 20, kUseList2CheckId, &hUseList2Check},
    {"BUTTON", "TRANSPOSE (столбцы > строки)", kCheck, 10, 120, 340, 20, kTransposeCheckId, &hTransposeCheck},
    {"BUTTON", "Для штрих-кода (столбец для ШК)", kCheck, 10, 145, 340, 20, kForBarcodeCheckId, &hForBarcodeCheck},
    {"BUTTON", "ГЕНЕРАТОР ПАРОЛЕЙ", V | BS_GROUPBOX, 10, 170, 340, 190, 0, nullptr},
    {"STATIC", "                               Использовать символы:", V, 20, 195, 320, 20, 0, nullptr},
    {"BUTTON", "ABC (латиница загл.)", kCheck, 20, 220, 155, 20, kUpperLatinCheckId, nullptr},
    {"BUTTON", "abc (латиница проп.)", kCheck, 185, 220, 155, 20, kLowerLatinCheckId, nullptr},
    {"BUTTON", "АБВ (кирилица загл.)", kCheck, 20, 245, 155, 20, kUpperCyrillicCheckId, nullptr},
    {"BUTTON", "абв (кириллица проп.)", kCheck, 185, 245, 155, 20, kLowerCyrillicCheckId, nullptr},
    {"BUTTON", "123 (цифры)", kCheck, 20, 270, 155, 20, kDigitsCheckId, nullptr},
    // 8 pixels wider than its neighbours: with its "&" shown as itself the text needs them.
    {"BUTTON", "!@#$%&* (спецсимволы)", kCheck, 185, 270, 163, 20, kSpecialCheckId, nullptr},
    {"STATIC", "  Длина пароля:", V, 20, 300, 100, 20, 0, nullptr},
    {"COMBOBOX", "", V | T | CBS_DROPDOWNLIST, 130, 300, 60, 400, kPasswordLengthComboId, nullptr},
    {"STATIC", "  Кол-во паролей:", V, 20, 330, 100, 20, 0, nullptr},
    {"EDIT", "10", V | T | WS_BORDER | ES_NUMBER, 130, 330, 60, 20, kPasswordCountEditId, nullptr},
    {"BUTTON", "В один столбец", kCheck, 200, 300, 140, 20, kSingleColumnCheckId, nullptr},
    {"BUTTON", "Сгенерировать пароли", V | T | BS_DEFPUSHBUTTON, 200, 325, 140, 25, kGeneratePasswordsButtonId, nullptr},
    {"EDIT", "", kListEdit, 10, 365, 340, 80, kList1EditId, &hList1Edit},
    {"EDIT", "", kListEdit, 10, 450, 340, 80, kList2EditId, &hList2Edit},
    {"STATIC", "  Префикс:", V, 10, 535, 237, 20, 0, nullptr},
    // The prefix and start fields scroll, so a prefix of up to 99 characters or a start of 13 and
    // more digits can be typed whole into their narrow boxes.
    {"EDIT", "", V | T | WS_BORDER | ES_AUTOHSCROLL, 250, 535, 100, 20, kMergePrefixEditId, &hMergePrefixEdit},
    {"STATIC", "  Начать с:", V, 10, 560, 237, 20, 0, nullptr},
    {"EDIT", "0001", V | T | WS_BORDER | ES_AUTOHSCROLL, 250, 560, 100, 20, kMergeStartEditId, &hMergeStartEdit},
    {"STATIC", "  Количество:", V, 10, 585, 237, 20, 0, nullptr},
    {"EDIT", "100", V | T | WS_BORDER | ES_NUMBER, 250, 585, 100, 20, kMergeCountEditId, &hMergeCountEdit},
    {"BUTTON", "Создать таблицу", V | T | BS_DEFPUSHBUTTON, 10, 612, 167, 30, kCreateTableButtonId, &hCreateTableButton},
    {"BUTTON", "Сохранить как...", V | T | BS_DEFPUSHBUTTON, 183, 612, 167, 30, kSaveTableButtonId, nullptr},
};

constexpr int kColumnChoices = 30, kDefaultColumnIndex = 4;           // "5"
constexpr int kPasswordLengthChoices = 20, kDefaultPasswordLengthIndex = 7;  // "8"

// Puts freshly generated text into an open preview; nothing when the preview is closed.
void RefreshPreview(HWND preview, HWND edit, std::string (*generate)()) {
    if (!preview || !IsWindow(preview)) return;
    const std::string text = generate();
    if (!text.empty() && edit) SetPreviewText(edit, text);
}

void OnCommand(HWND window, int id, int code) {
    if (code == EN_MAXTEXT && (id == kList1EditId || id == kList2EditId)) ShowListFieldFull(window);
    if (id == kUseList1CheckId || id == kUseList2CheckId) UpdateMergeListVisibility();
    if (id == kTransposeCheckId || id == kForBarcodeCheckId)
        RefreshPreview(hPreviewWindow, hPreviewEdit, GenerateTableContent);
    if (id == kSingleColumnCheckId || id == kSpecialCheckId)
        RefreshPreview(hPasswordPreviewWindow, hPasswordPreviewEdit, GeneratePasswordTable);
    if (id == kGeneratePasswordsButtonId) {
        const std::string text = GeneratePasswordTable();
        if (!text.empty()) ShowPasswordPreviewWindow(text);
    }
    if (id == kCreateTableButtonId) CreateMergeTable();
    if (id == kSaveTableButtonId) {
        const std::string text = GenerateTableContent();
        if (!text.empty()) SaveMergeTable(text);
    }
}
}  // namespace

void CreateMergeControls(HWND hWnd) {
    CreateControlRows(hWnd, kMergeControls);
    FillNumberCombo(hMergeColumnsCombo, kColumnChoices, kDefaultColumnIndex);
    FillNumberCombo(GetDlgItem(hWnd, kPasswordLengthComboId), kPasswordLengthChoices, kDefaultPasswordLengthIndex);
    ShowWindow(hList1Edit, SW_HIDE);
    ShowWindow(hList2Edit, SW_HIDE);
    AllowListText(hList1Edit);
    AllowListText(hList2Edit);
    SetFontOnChildren(hWnd, UiFont(WindowDpi(hWnd)));
    UseDialogKeys(hWnd, true);
}

void UpdateMergeListVisibility() {
    if (!IsMergeWindowOpen()) return;
    const bool useList1 = IsMergeOptionTicked(kUseList1CheckId), useList2 = IsMergeOptionTicked(kUseList2CheckId);
    ShowWindow(hList1Edit, useList1 ? SW_SHOW : SW_HIDE);
    EnableWindow(hMergeStartEdit, !useList1);
    EnableWindow(hMergeCountEdit, !useList1);
    ShowWindow(hList2Edit, useList2 ? SW_SHOW : SW_HIDE);
}

void CreateMergeTable() {
    if (!IsMergeWindowOpen()) return;
    const std::string text = GenerateTableContent();
    if (!text.empty()) ShowPreviewWindow(text);
}

void ShowMergeWindow() {
    if (BringForwardIfOpen(hMergeWindow)) return;
    hMergeWindow = CreateOwnedWindow(L"BarcodeMerge", "Слияние при печати", 375, 687, SW_SHOW);
}

LRESULT CALLBACK MergeWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: CreateMergeControls(hWnd); return 0;
        case WM_COMMAND: OnCommand(hWnd, LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_DPICHANGED: ApplyDpiChange(hWnd, wParam, lParam); return 0;
        case WM_CLOSE: DestroyWindow(hWnd); return 0;
        case WM_DESTROY: hMergeWindow = nullptr; return 0;
        default: return DefWindowProcW(hWnd, message, wParam, lParam);
    }
}
