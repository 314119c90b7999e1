#include "platform/app_window_win.h"

#include "platform/caption_text.h"
#include "platform/dpi_win.h"
#include "platform/text_win.h"

namespace {
HWND appWindow = nullptr;

// The title is learnt from the caption itself until the title update sets it: the window is created
// with the title as its caption.
CaptionText caption;
}  // namespace

void SetAppWindow(HWND window) { appWindow = window; }

HWND AppWindow() { return appWindow && IsWindow(appWindow) ? appWindow : nullptr; }

HWND CreateOwnedWindow(const wchar_t* className, const char* titleCp1251, int width, int height, int showCommand) {
    HWND window = CreateTopWindowForDpi(WS_EX_DLGMODALFRAME, className, WideFromCp1251(titleCp1251).c_str(),
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, width, height, AppWindow());
    if (!window) return nullptr;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

void SetAppTitle(const std::string& titleCp1251) {
    HWND window = AppWindow();
    if (!window) return;
    caption.SetTitle(titleCp1251);
    SetControlText(window, caption.Text());
}

void SetAppProgress(const std::string& progressCp1251, bool keepOnTitleChange) {
    HWND window = AppWindow();
    if (!window) return;
    // Learnt before the note is set: learning it afterwards would drop a note that does not outlive a
    // title change.
    if (!caption.TitleKnown()) caption.SetTitle(GetControlText(window));
    caption.SetProgress(progressCp1251, keepOnTitleChange);
    SetControlText(window, caption.Text());
}
