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

std::string FetchMessagesBody(InternetClient& net) {
    return FetchWholeBody(net, VendorUrl("http", "/inspirational.txt"), kMessagesBodyCap);
}
}  // namespace

bool DownloadInspirationalToFile(InternetClient& net, CacheHost& host) {
    const std::string body = FetchMessagesBody(net);
    return !body.empty() && SaveEncryptedToFile(host, body, kInspirationalCacheFile);
}

bool LoadInspirationalFromFile(CacheHost& host, std::vector<AdMessage>& ads) {
    std::string text;
    if (!LoadEncryptedFromFile(host, kInspirationalCacheFile, kMessagesBodyCap, text)) return false;
    return ReplaceIfAny(ads, ParseMessageLines(text, kMessageCacheColor));
}

bool LoadAdsFromWebsite(InternetClient& net, std::vector<AdMessage>& ads) {
    std::string body;
    if (!FetchAdsBody(net, VendorUrl("http", "/ads.txt"), body) || body.empty()) return false;
    const size_t first = body.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && body[first] == '<') return false;  // an HTML or XML document
    return ReplaceIfAny(ads, ParseAdLines(body));
}

void KeepFetchedMessages(KnownMessages& known, const std::string& body) {
    if (body.empty()) return;
    if (SaveEncryptedToFile(known.host, body, kInspirationalCacheFile))
        known.unsaved.clear();
    else
        known.unsaved = body;
}

bool LoadKnownMessages(const KnownMessages& known, std::vector<AdMessage>& ads) {
    if (known.unsaved.empty()) return LoadInspirationalFromFile(known.host, ads);
    return ReplaceIfAny(ads, ParseMessageLines(known.unsaved, kMessageCacheColor));
}

void LoadStartupMessages(const KnownMessages& known, std::vector<AdMessage>& ads) {
    if (!LoadKnownMessages(known, ads)) FillBuiltInMessages(ads);
}

BannerFetch FetchBannerSources(InternetClient& net, bool withMessages) {
    BannerFetch fetched;
    if (withMessages) fetched.messages = FetchMessagesBody(net);
    fetched.adsFetched = LoadAdsFromWebsite(net, fetched.ads);
    return fetched;
}

bool ApplyBannerFetch(KnownMessages& known, BannerFetch&& fetched, std::vector<AdMessage>& ads) {
    KeepFetchedMessages(known, fetched.messages);
    if (fetched.adsFetched && !fetched.ads.empty()) {
        ads = std::move(fetched.ads);
        return true;
    }
    LoadKnownMessages(known, ads);
    if (ads.empty()) FillBuiltInMessages(ads);
    return false;
}
