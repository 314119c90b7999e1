// The merge window: table and password options and their commands.
#pragma once
#include <windows.h>

extern HWND hMergeWindow, hMergeColumnsCombo, hUseList1Check, hUseList2Check, hList1Edit, hList2Edit,
    hMergePrefixEdit, hMergeStartEdit, hMergeCountEdit, hCreateTableButton, hTransposeCheck, hForBarcodeCheck;

void ShowMergeWindow();
LRESULT CALLBACK MergeWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void CreateMergeControls(HWND hWnd);
void UpdateMergeListVisibility();
void CreateMergeTable();
