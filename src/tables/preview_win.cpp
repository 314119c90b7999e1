// The preview windows (to be completed).
#include "tables/preview_win.h"

HWND hPreviewWindow = nullptr, hPreviewEdit = nullptr, hPasswordPreviewWindow = nullptr, hPasswordPreviewEdit = nullptr;

LRESULT CALLBACK PreviewWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, message, wParam, lParam);
}
