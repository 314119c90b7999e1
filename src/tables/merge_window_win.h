// The merge window: table and password options and their commands.
#pragma once
#include <windows.h>

extern HWND hMergeWindow, hMergeColumnsCombo, hUseList1Check, hUseList2Check, hList1Edit, hList2Edit,
    hMergePrefixEdit, hMergeStartEdit, hMergeCountEdit, hCreateTableButton, hTransposeCheck, hForBarcodeCheck;

// Control identifiers of the merge window.
enum : int {
    kUseList1CheckId = 201, kUseList2CheckId = 202, kCreateTableButtonId = 203, kSaveTableButtonId = 204,
    kTransposeCheckId = 205, kForBarcodeCheckId = 206,
    kUpperLatinCheckId = 301, kLowerLatinCheckId = 302, kUpperCyrillicCheckId = 303, kLowerCyrillicCheckId = 304,
    kDigitsCheckId = 305, kPasswordLengthComboId = 306, kPasswordCountEditId = 307, kGeneratePasswordsButtonId = 308,
    kSingleColumnCheckId = 309, kSpecialCheckId = 310
};

void ShowMergeWindow();
LRESULT CALLBACK MergeWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void CreateMergeControls(HWND hWnd, HINSTANCE hInstance);
void UpdateMergeListVisibility();
void CreateMergeTable();
