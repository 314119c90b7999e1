// The native build has no HTTP client: every session fails to open, as when offline.
#include "online/internet.h"

#include <chrono>

namespace {
class OfflineClient : public InternetClient {
public:
    bool Open(const std::string&) override { return false; }
    void SetTimeout(InternetTimeout, unsigned long) override {}
    void LimitWait(unsigned long) override {}
    uint64_t NowMs() override {
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
    bool OpenUrl(const std::string&) override { return false; }
    int StatusCode() override { return 0; }
    std::string ContentType() override { return {}; }
    bool Read(char*, size_t, size_t& got) override {
        got = 0;
        return false;
    }
    void CloseUrl() override {}
    void Close() override {}
};
}  // namespace

std::unique_ptr<InternetClient> NewSystemInternet() { return std::make_unique<OfflineClient>(); }
