// The program title on the main window. Fetches run on a worker thread and come back as
// kTitleFetchedMessage; at most one is under way at a time.
#include "online/title_win.h"

#include "online/background_fetch_win.h"
#include "online/cache_file.h"
#include "online/title.h"
#include "online/vendor.h"
#include "platform/app_window_win.h"

std::string g_windowTitle = "Zubrilax";

namespace {
bool titleCacheStale = false;
bool titleFetchInFlight = false;

void StartTitleFetch() {
    HWND window = AppWindow();
    if (!window || titleFetchInFlight) return;
    const std::string url = VendorUrl("http", "/program_title.txt");
    titleFetchInFlight = StartBackgroundFetch<std::string>(window, kTitleFetchedMessage, [url] {
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

void OnTitleFetched(LPARAM result) {
    const auto title = TakeFetchResult<std::string>(result);
    titleFetchInFlight = false;
    if (title && ApplyFetchedTitle(SystemCacheHost(), *title, g_windowTitle)) UpdateProgramTitle();
}

// The caption keeps a run's progress before the title (platform/app_window_win).
void UpdateProgramTitle() { SetAppTitle(g_windowTitle); }
