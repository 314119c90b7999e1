// The program title on the main window. Fetches run on a worker thread and leave their result in a
// mailbox that kTitleFetchedMessage wakes the window to empty; at most one is under way at a time.
#include "online/title_win.h"

#include "online/background_fetch_win.h"
#include "online/cache_file.h"
#include "online/title.h"
#include "online/vendor.h"
#include "platform/app_window_win.h"

std::string g_windowTitle = "Zubrilax";

namespace {
bool titleCacheStale = false;
// Shared with the worker threads, which may outlive every window.
const auto titleMailbox = std::make_shared<FetchMailbox<std::string>>();

void StartTitleFetch() {
    const std::string url = VendorUrl("http", "/program_title.txt");
    StartBackgroundFetch<std::string>(titleMailbox, AppWindow(), kTitleFetchedMessage, [url] {
        const auto net = NewSystemInternet();
        return FetchTitleText(*net, url);
    });
}
}  // namespace

void LoadProgramTitle() {
    titleCacheStale = IsFileOlderThanMonth(SystemCacheHost(), kTitleCacheFile);
    LoadTitleFromFile(SystemCacheHost(), g_windowTitle);
    UpdateProgramTitle();
}

void FetchTitleIfStale() {
    if (titleCacheStale) StartTitleFetch();
}

void UpdateTitleFromServer() { StartTitleFetch(); }

void OnTitleFetched() {
    for (const std::string& title : titleMailbox->TakeAll())
        if (ApplyFetchedTitle(SystemCacheHost(), title, g_windowTitle)) UpdateProgramTitle();
}

// The caption keeps a run's progress before the title (platform/app_window_win).
void UpdateProgramTitle() { SetAppTitle(g_windowTitle); }
