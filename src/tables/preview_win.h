// The table and password preview windows: copy to the clipboard and saving.
#pragma once
#include <windows.h>

extern HWND hPreviewWindow, hPreviewEdit, hPasswordPreviewWindow, hPasswordPreviewEdit;

LRESULT CALLBACK PreviewWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
