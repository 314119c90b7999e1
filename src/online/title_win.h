// The program title on the main window's caption: cached, fetched from the vendor's server.
#pragma once
#include <string>

extern std::string g_windowTitle;  // the main window's caption

// Start-up: fetch when the cache is missing or stale, load the cache, show.
void LoadProgramTitle();
// The hourly update: fetch, and when a title was saved, load and show it.
void UpdateTitleFromServer();
// Sets the main window's caption to g_windowTitle when the window exists.
void UpdateProgramTitle();
