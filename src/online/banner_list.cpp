// The banner's message sources and the choice between them.
#include "online/banner_list.h"

#include "online/message_format.h"
#include "online/vendor.h"

namespace {
bool ReplaceIfAny(std::vector<AdMessage>& ads, std::vector<AdMessage>&& parsed) {
    if (parsed.empty()) return false;
    ads = std::move(parsed);
    return true;
}
}  // namespace

bool DownloadInspirationalToFile(InternetClient& net, CacheHost& host) {
    const std::string body = FetchWholeBody(net, VendorUrl("http", "/inspirational.txt"));
    return !body.empty() && SaveEncryptedToFile(host, body, kInspirationalCacheFile);
}

bool LoadInspirationalFromFile(CacheHost& host, std::vector<AdMessage>& ads) {
    std::string text;
    if (!LoadEncryptedFromFile(host, kInspirationalCacheFile, text)) return false;
    return ReplaceIfAny(ads, ParseMessageLines(text, kMessageCacheColor));
}

bool LoadAdsFromWebsite(InternetClient& net, std::vector<AdMessage>& ads) {
    std::string body;
    if (!FetchAdsBody(net, VendorUrl("http", "/ads.txt"), body) || body.empty()) return false;
    const size_t first = body.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && body[first] == '<') return false;  // an HTML or XML document
    return ReplaceIfAny(ads, ParseAdLines(body));
}

bool LoadStartupAds(InternetClient& net, CacheHost& host, std::vector<AdMessage>& ads) {
    if (IsFileOlderThanMonth(host, kInspirationalCacheFile)) DownloadInspirationalToFile(net, host);
    if (LoadAdsFromWebsite(net, ads)) return true;
    if (!LoadInspirationalFromFile(host, ads)) FillBuiltInMessages(ads);
    return false;
}

bool RefreshAds(InternetClient& net, CacheHost& host, std::vector<AdMessage>& ads) {
    if (LoadAdsFromWebsite(net, ads)) return true;
    LoadInspirationalFromFile(host, ads);
    if (ads.empty()) FillBuiltInMessages(ads);
    return false;
}
