// The text of a preview field. The edit control needs several seconds under some systems to take a
// multi-megabyte table at once, so the field gets the first part at once and the rest part by part
// on a timer of its window: a long table shows at once and the window stays responsive as it fills.
#pragma once
#include <windows.h>

#include <string>

// Replaces the text of `edit`, a child of a preview window (code page 1251).
void SetPreviewText(HWND edit, const std::string& content);
// The whole text the field shows or is being filled with; what copy and save use.
const std::string& PreviewTextOf(HWND edit);
// Moves the next part into the field of `window`; call on kPreviewFillTimerId. Waits while an
// automation run is in progress.
void ContinuePreviewFill(HWND window);
// Drops what is kept for a field that is going away.
void ForgetPreviewText(HWND edit);

constexpr UINT_PTR kPreviewFillTimerId = 1;
