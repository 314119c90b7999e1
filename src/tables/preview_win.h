// The table and password preview windows: copy to the clipboard and saving.
#pragma once
#include <windows.h>

#include <string>

#include "tables/preview_text_win.h"

extern HWND hPreviewWindow, hPreviewEdit, hPasswordPreviewWindow, hPasswordPreviewEdit;

LRESULT CALLBACK PreviewWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Open the preview with `content`, or put `content` into the one already open and bring it forward.
void ShowPreviewWindow(const std::string& content);
void ShowPasswordPreviewWindow(const std::string& content);

// "Сохранить как..." of the merge window: asks for a file name and writes a freshly built table.
void SaveMergeTable(const std::string& content);
