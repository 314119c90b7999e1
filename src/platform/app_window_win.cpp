#include "platform/app_window_win.h"

#include "platform/text_win.h"

namespace {
HWND appWindow = nullptr;

// The two parts of the main window's caption. The title is learnt from the caption itself until the
// title update sets it: the window is created with the title as its caption.
std::string captionTitle;
bool titleKnown = false;
std::string captionProgress;
bool progressKeepsOnTitleChange = false;

void ShowCaption(HWND window) {
    if (!titleKnown) {
        captionTitle = GetControlText(window);
        titleKnown = true;
    }
    SetControlText(window, captionProgress.empty() ? captionTitle : captionProgress + " · " + captionTitle);
}
}  // namespace

void SetAppWindow(HWND window) { appWindow = window; }

HWND AppWindow() { return appWindow && IsWindow(appWindow) ? appWindow : nullptr; }

HWND CreateOwnedWindow(const wchar_t* className, const char* titleCp1251, int width, int height, int showCommand) {
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, className, WideFromCp1251(titleCp1251).c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, width, height,
                                  AppWindow(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) return nullptr;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

void SetAppTitle(const std::string& titleCp1251) {
    HWND window = AppWindow();
    if (!window) return;
    captionTitle = titleCp1251;
    titleKnown = true;
    if (!progressKeepsOnTitleChange) captionProgress.clear();
    ShowCaption(window);
}

void SetAppProgress(const std::string& progressCp1251, bool keepOnTitleChange) {
    HWND window = AppWindow();
    if (!window) return;
    captionProgress = progressCp1251;
    progressKeepsOnTitleChange = keepOnTitleChange;
    ShowCaption(window);
}
