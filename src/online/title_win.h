// The program title on the main window's caption: cached, fetched from the vendor's server.
#pragma once
#include <windows.h>

#include <string>

extern std::string g_windowTitle;  // the main window's caption

// Posted to the main window when a title fetch has finished; it carries nothing.
constexpr UINT kTitleFetchedMessage = WM_APP + 20;

// Start-up: loads the cache and shows it; notes whether the cache is missing or stale. No network.
void LoadProgramTitle();
// Start-up, once the main window exists: fetches the title when the cache was missing or stale.
void FetchTitleIfStale();
// The hourly update: fetches the title unless a fetch is still under way.
void UpdateTitleFromServer();
// A wake-up (kTitleFetchedMessage): each title that came since is cached and shown; nothing when none did.
void OnTitleFetched();
// Sets the main window's caption to g_windowTitle when the window exists.
void UpdateProgramTitle();
