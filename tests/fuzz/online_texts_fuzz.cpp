// Fuzz target: whatever bytes the vendor's server or a cache file holds, the message and
// advertising readers, the cache decoding and the capped body reader stay within their rules.
#include "online/cache_file.h"
#include "online/internet.h"
#include "online/message_format.h"

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {
// Serves the input as a body, in reads of varying size picked from the input itself.
class BytesServer : public InternetClient {
public:
    explicit BytesServer(const std::string& body) : body_(body) {}
    bool Open(const std::string&) override { return true; }
    void SetTimeout(InternetTimeout, unsigned long) override {}
    void LimitWait(unsigned long) override {}
    uint64_t NowMs() override { return 0; }
    bool OpenUrl(const std::string&) override { return true; }
    int StatusCode() override { return 200; }
    std::string ContentType() override { return "text/plain"; }
    bool Read(char* buffer, size_t size, size_t& got) override {
        if (size > kChunkBytes) std::abort();
        const size_t step = body_.empty() ? 1 : 1 + static_cast<unsigned char>(body_[at_ % body_.size()]) * 17;
        got = std::min({size, step, body_.size() - at_});
        memcpy(buffer, body_.data() + at_, got);
        at_ += got;
        return true;
    }
    void CloseUrl() override {}
    void Close() override {}

private:
    std::string body_;
    size_t at_ = 0;
};

void CheckMessages(const std::vector<AdMessage>& messages, bool ads) {
    for (const AdMessage& m : messages) {
        if (m.text.find('\n') != std::string::npos) std::abort();
        if (ads && (m.text.size() > kMaxAdTextBytes || m.text.find('<') != std::string::npos)) std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckMessages(ParseMessageLines(text, kMessageCacheColor), false);
    CheckMessages(ParseAdLines(text), true);

    // A cache file decodes to what was stored, and its text reads like a fetched one.
    std::vector<unsigned char> bytes(text.begin(), text.end());
    XorEncryptDecrypt(bytes);
    const std::string decoded(bytes.begin(), bytes.end());
    CheckMessages(ParseMessageLines(decoded, kMessageCacheColor), false);
    XorEncryptDecrypt(bytes);
    if (std::string(bytes.begin(), bytes.end()) != text) std::abort();

    // A body cut to a cap is a prefix of whole lines within the cap.
    const size_t cap = size / 2;
    std::string cut = text;
    CutToWholeLines(cut, cap);
    if (cut.size() > cap || text.compare(0, cut.size(), cut) != 0 || (!cut.empty() && cut.back() != '\n')) std::abort();

    // Bodies read through the client never pass their caps.
    BytesServer messages(text);
    if (FetchWholeBody(messages, "http://vendor/inspirational.txt", 1000).size() > 1000) std::abort();
    BytesServer ads(text);
    std::string body;
    if (FetchAdsBody(ads, "http://vendor/ads.txt", body) && body.size() > kAdsBodyCap) std::abort();
    return 0;
}
