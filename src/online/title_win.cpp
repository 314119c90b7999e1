// The program title on the main window.
#include "online/title_win.h"

#include "online/cache_file.h"
#include "online/title.h"
#include "platform/app_window_win.h"
#include "platform/text_win.h"

std::string g_windowTitle = "Zubrilax";

namespace {
bool DownloadTitleFromServer() { return DownloadTitleFromServer(SystemInternet(), SystemCacheHost()); }
bool LoadTitleFromFile() { return LoadTitleFromFile(SystemCacheHost(), g_windowTitle); }
}  // namespace

void LoadProgramTitle() {
    if (IsFileOlderThanMonth(SystemCacheHost(), kTitleCacheFile)) DownloadTitleFromServer();
    LoadTitleFromFile();
    UpdateProgramTitle();
}

void UpdateTitleFromServer() {
    if (!DownloadTitleFromServer()) return;
    LoadTitleFromFile();
    UpdateProgramTitle();
}

void UpdateProgramTitle() {
    if (HWND window = AppWindow()) SetControlText(window, g_windowTitle);
}
