// The HTTP client seam: the few operations the online texts need, in the order a fetch makes them,
// so the fetching rules are plain code tested natively against a recorded fake. The Windows
// implementation is the only place that talks to the system's HTTP library.
//
// The vendor's server is not trusted: every fetch has an overall deadline, every body a byte cap,
// and only a 200 answer is content. Fetches run off the window's thread, each with its own client.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class InternetTimeout { Connect, Receive, Send };

class InternetClient {
public:
    virtual ~InternetClient() = default;
    // A session with the given agent name, connecting directly (no proxy).
    virtual bool Open(const std::string& agent) = 0;
    // Applies to the session's later requests.
    virtual void SetTimeout(InternetTimeout which, unsigned long milliseconds) = 0;
    // The longest the next request or read may keep the caller waiting, whatever the system's own
    // time-outs do; a call that outlives it fails and leaves the session closed.
    virtual void LimitWait(unsigned long milliseconds) = 0;
    // A steady clock in milliseconds, by which a fetch keeps its deadline.
    virtual uint64_t NowMs() = 0;
    // A request that always goes to the server and leaves nothing in a download cache.
    virtual bool OpenUrl(const std::string& url) = 0;
    // The response's HTTP status; 0 when it cannot be read.
    virtual int StatusCode() = 0;
    // The response's Content-Type header; empty when there is none or it cannot be read.
    virtual std::string ContentType() = 0;
    // Up to `size` bytes of the body; false on a failed read (a body that ends before the length its
    // answer declared is one), `got` 0 at its end.
    virtual bool Read(char* buffer, size_t size, size_t& got) = 0;
    virtual void CloseUrl() = 0;
    virtual void Close() = 0;
};
// The running platform's client; each fetch takes one of its own, so fetches on worker threads share nothing.
std::unique_ptr<InternetClient> NewSystemInternet();

constexpr const char* kAgentName = "RizidudUdaravuzuv/1.0";
// Connect, receive and send time-out of every fetch, so a server that accepts and never answers
// costs a few seconds instead of the system's 30 s per fetch.
constexpr unsigned long kFetchTimeoutMs = 5000;
// Everything one fetch may take, connecting and all reads together; a fetch still unfinished then
// has failed. It holds even where the system ignores the time-outs above.
constexpr unsigned long kFetchDeadlineMs = 15000;
constexpr size_t kTitleReadBytes = 255;
constexpr size_t kChunkBytes = 4095;
// Byte caps of the bodies: what lies beyond is never read, and a body cut at its cap keeps its
// whole lines only. The message list is an ordinary text of a few dozen lines; its cap is the
// advertising list's.
constexpr size_t kAdsBodyCap = 50000;
constexpr size_t kMessagesBodyCap = 50000;

// The title: the first 255 bytes of the body at most, cut at a zero byte, trimmed. Empty on any
// failure (no 200 answer, a failed read, deadline passed).
std::string FetchTitleText(InternetClient& net, const std::string& url);

// A body of at most `cap` bytes, read in chunks; a zero byte drops the rest of its chunk. Empty on
// failure (no 200 answer, a read failed before the body's end, deadline passed).
std::string FetchWholeBody(InternetClient& net, const std::string& url, size_t cap = kMessagesBodyCap);

// The advertising body: as FetchWholeBody with the advertising cap, an HTML Content-Type refused
// (in any letter case). False when refused or unreachable.
bool FetchAdsBody(InternetClient& net, const std::string& url, std::string& body);

// Cuts `body` to its first `cap` bytes and drops the line left incomplete there.
void CutToWholeLines(std::string& body, size_t cap);
