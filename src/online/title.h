// The program title: fetched from the vendor's server, cached in title.dat.
#pragma once
#include "online/cache_file.h"
#include "online/internet.h"

#include <string>

// Fetches the title and, when not empty, saves it to title.dat; true when saved.
bool DownloadTitleFromServer(InternetClient& net, CacheHost& host);
// Loads title.dat into `title` when it holds text; true when `title` was replaced.
bool LoadTitleFromFile(CacheHost& host, std::string& title);

// Takes a title fetched off the window's thread: when not empty it is saved to title.dat and
// becomes `title`, even when the file cannot be written. True when `title` was replaced.
bool ApplyFetchedTitle(CacheHost& host, const std::string& fetched, std::string& title);
