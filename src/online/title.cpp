// The program title's fetch and cache.
#include "online/title.h"

#include "online/vendor.h"

bool DownloadTitleFromServer(InternetClient& net, CacheHost& host) {
    const std::string title = FetchTitleText(net, VendorUrl("http", "/program_title.txt"));
    return !title.empty() && SaveEncryptedToFile(host, title, kTitleCacheFile);
}

bool LoadTitleFromFile(CacheHost& host, std::string& title) {
    std::string cached;
    if (!LoadEncryptedFromFile(host, kTitleCacheFile, kTitleReadBytes, cached) || cached.empty()) return false;
    title = cached;
    return true;
}

bool ApplyFetchedTitle(CacheHost& host, const std::string& fetched, std::string& title) {
    if (fetched.empty()) return false;
    SaveEncryptedToFile(host, fetched, kTitleCacheFile);  // an unwritable folder only costs the cache
    title = fetched;
    return true;
}
