// Where the banner's messages come from: the advertising list fetched afresh, the cached
// encouraging messages, or the built-in list; and which of them make the banner a link.
#pragma once
#include "online/cache_file.h"
#include "online/internet.h"
#include "online/messages.h"

#include <vector>

// Fetches the whole message list and caches it in inspirational.dat; true when a body was saved.
bool DownloadInspirationalToFile(InternetClient& net, CacheHost& host);
// Parses inspirational.dat into `ads` when it yields a message; true when `ads` was replaced.
bool LoadInspirationalFromFile(CacheHost& host, std::vector<AdMessage>& ads);
// Fetches and parses the advertising list into `ads` when it yields a message; true when replaced.
bool LoadAdsFromWebsite(InternetClient& net, std::vector<AdMessage>& ads);

// The start-up load: refreshes a stale message cache, then takes the best source. Afterwards `ads`
// is never empty. Returns whether the banner is clickable (the advertising list was taken).
bool LoadStartupAds(InternetClient& net, CacheHost& host, std::vector<AdMessage>& ads);
// The periodic refresh: the advertising list, else the message cache, else (only when `ads` is
// empty) the built-in list. Returns whether the banner is clickable.
bool RefreshAds(InternetClient& net, CacheHost& host, std::vector<AdMessage>& ads);

