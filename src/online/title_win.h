// The program title: cached, fetched from the vendor's server, shown as the main window's caption.
#pragma once
#include "online/title.h"

// Start-up: fetch when the cache is missing or stale, load the cache, show.
void LoadProgramTitle();
// Sets the main window's caption to g_windowTitle when the window exists.
void UpdateProgramTitle();
