// Program title (to be completed: cache file and fetch).
#include "online/title_win.h"

#include "app/globals_win.h"
#include "app/text_win.h"
#include "online/messages.h"

void LoadProgramTitle() {}
bool DownloadTitleFromServer() { return false; }
void LoadTitleFromFile() {}
void UpdateProgramTitle() {
    if (hMainWindow && IsWindow(hMainWindow)) SetControlText(hMainWindow, g_windowTitle);
}
