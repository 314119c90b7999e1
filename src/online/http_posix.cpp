// The native build has no HTTP client: every session fails to open, as when offline.
#include "online/internet.h"

namespace {
class OfflineClient : public InternetClient {
public:
    bool Open(const std::string&) override { return false; }
    void SetTimeout(InternetTimeout, unsigned long) override {}
    bool OpenUrl(const std::string&) override { return false; }
    std::string ContentType() override { return {}; }
    bool Read(char*, size_t, size_t& got) override {
        got = 0;
        return false;
    }
    void CloseUrl() override {}
    void Close() override {}
};
}  // namespace

InternetClient& SystemInternet() {
    static OfflineClient client;
    return client;
}
