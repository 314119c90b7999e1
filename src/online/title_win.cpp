// The program title on the main window.
#include "online/title_win.h"

#include "app/globals_win.h"
#include "app/text_win.h"
#include "online/cache_file.h"
#include "online/messages.h"

void LoadProgramTitle() {
    if (IsTitleFileOlderThanMonth()) DownloadTitleFromServer();
    LoadTitleFromFile();
    UpdateProgramTitle();
}

void UpdateProgramTitle() {
    if (hMainWindow && IsWindow(hMainWindow)) SetControlText(hMainWindow, g_windowTitle);
}
