// The merge window (to be completed).
#include "tables/merge_window_win.h"

HWND hMergeWindow = nullptr, hMergeColumnsCombo = nullptr, hUseList1Check = nullptr, hUseList2Check = nullptr,
     hList1Edit = nullptr, hList2Edit = nullptr, hMergePrefixEdit = nullptr, hMergeStartEdit = nullptr,
     hMergeCountEdit = nullptr, hCreateTableButton = nullptr, hTransposeCheck = nullptr, hForBarcodeCheck = nullptr;

void ShowMergeWindow() {}

LRESULT CALLBACK MergeWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) hMergeWindow = nullptr;
    return DefWindowProcW(hWnd, message, wParam, lParam);
}
