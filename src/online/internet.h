// The HTTP client seam: the few operations the online texts need, in the order a fetch makes them,
// so the fetching rules are plain code tested natively against a recorded fake. The Windows
// implementation is the only place that talks to the system's HTTP library.
#pragma once
#include <cstddef>
#include <string>

enum class InternetTimeout { Connect, Receive, Send };

class InternetClient {
public:
    virtual ~InternetClient() = default;
    // A session with the given agent name, connecting directly (no proxy).
    virtual bool Open(const std::string& agent) = 0;
    // Applies to the session's later requests.
    virtual void SetTimeout(InternetTimeout which, unsigned long milliseconds) = 0;
    // A request that always goes to the server and leaves nothing in a download cache.
    virtual bool OpenUrl(const std::string& url) = 0;
    // The response's Content-Type header; empty when there is none or it cannot be read.
    virtual std::string ContentType() = 0;
    // Up to `size` bytes of the body; false on a failed read, `got` 0 at the end.
    virtual bool Read(char* buffer, size_t size, size_t& got) = 0;
    virtual void CloseUrl() = 0;
    virtual void Close() = 0;
};
InternetClient& SystemInternet();  // the running platform's client

constexpr const char* kAgentName = "RizidudUdaravuzuv/1.0";
// Connect, receive and send time-out of every fetch, so a server that accepts and never answers
// costs a few seconds instead of the system's 30 s per fetch.
constexpr unsigned long kFetchTimeoutMs = 5000;
constexpr size_t kTitleReadBytes = 255;
constexpr size_t kChunkBytes = 4095;
constexpr size_t kAdsBodyCap = 50000;

// The title (time-outs set first): one read of at most 255 bytes, cut at a zero byte, trimmed. Empty on any failure.
std::string FetchTitleText(InternetClient& net, const std::string& url);

// The whole body (time-outs set first), read in chunks; a zero byte drops the rest of its chunk. Empty on failure.
std::string FetchWholeBody(InternetClient& net, const std::string& url);

// The advertising body: time-outs set first, an HTML Content-Type refused, reading stopped after
// the chunk that takes the body past 50,000 bytes. False when refused or unreachable.
bool FetchAdsBody(InternetClient& net, const std::string& url, std::string& body);
