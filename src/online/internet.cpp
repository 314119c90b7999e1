// The fetching rules of the title, the message list and the advertising list over InternetClient.
#include "online/internet.h"

#include "platform/text_parse.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {
constexpr int kHttpOk = 200;

// The overall deadline of one fetch; each blocking call is told how long it may still take.
class Deadline {
public:
    explicit Deadline(InternetClient& net) : net_(net), end_(net.NowMs() + kFetchDeadlineMs) {}
    // Bounds the next call by the time left; false when none is left.
    bool Arm() {
        const uint64_t now = net_.NowMs();
        if (now >= end_) return false;
        net_.LimitWait(static_cast<unsigned long>(end_ - now));
        return true;
    }

private:
    InternetClient& net_;
    uint64_t end_;
};

// Appends a chunk as text: a zero byte ends it.
void AppendAsText(std::string& body, const char* chunk, size_t got) {
    body.append(chunk, strnlen(chunk, got));
}

// A session with the agent name and the three time-outs.
bool OpenSession(InternetClient& net) {
    if (!net.Open(kAgentName)) return false;
    net.SetTimeout(InternetTimeout::Connect, kFetchTimeoutMs);
    net.SetTimeout(InternetTimeout::Receive, kFetchTimeoutMs);
    net.SetTimeout(InternetTimeout::Send, kFetchTimeoutMs);
    return true;
}

void CloseAll(InternetClient& net) {
    net.CloseUrl();
    net.Close();
}

// The session and the request, within the deadline; only a 200 answer goes on to be read. On
// false everything opened is closed again.
bool OpenRequest(InternetClient& net, const std::string& url, Deadline& deadline) {
    if (!OpenSession(net)) return false;
    if (!deadline.Arm() || !net.OpenUrl(url)) {
        net.Close();
        return false;
    }
    if (net.StatusCode() != kHttpOk) {
        CloseAll(net);
        return false;
    }
    return true;
}

// Reads chunks until the body ends or passes `cap`, never holding more than cap + 1 bytes; a body
// cut at its cap keeps its whole lines only. False when a read fails or the deadline passes first:
// a body cut short by the connection (reset, closed early, stalled) is no answer, however many
// whole lines it holds.
bool ReadCapped(InternetClient& net, size_t cap, Deadline& deadline, std::string& body) {
    char chunk[kChunkBytes + 1];
    size_t got = 0;
    for (;;) {
        if (!deadline.Arm() || !net.Read(chunk, std::min(kChunkBytes, cap + 1 - body.size()), got)) return false;
        if (got == 0) return true;
        AppendAsText(body, chunk, got);
        if (body.size() > cap) {
            CutToWholeLines(body, cap);
            return true;
        }
    }
}

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
}  // namespace

void CutToWholeLines(std::string& body, size_t cap) {
    if (body.size() > cap) body.resize(cap);
    const size_t lastLineEnd = body.rfind('\n');
    body.resize(lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1);
}

std::string FetchTitleText(InternetClient& net, const std::string& url) {
    Deadline deadline(net);
    if (!OpenRequest(net, url, deadline)) return {};
    // The buffer fills as one blocking read fills it, however the system splits the body up.
    char buffer[kTitleReadBytes + 1];
    size_t filled = 0, got = 0;
    bool answered = true;
    while (filled < kTitleReadBytes) {
        if (!deadline.Arm() || !net.Read(buffer + filled, kTitleReadBytes - filled, got)) {
            answered = false;
            break;
        }
        if (got == 0) break;
        filled += got;
    }
    CloseAll(net);
    std::string title;
    if (answered) AppendAsText(title, buffer, filled);
    return TrimBlanks(title);
}

std::string FetchWholeBody(InternetClient& net, const std::string& url, size_t cap) {
    Deadline deadline(net);
    if (!OpenRequest(net, url, deadline)) return {};
    std::string body;
    if (!ReadCapped(net, cap, deadline, body)) body.clear();
    CloseAll(net);
    return body;
}

bool FetchAdsBody(InternetClient& net, const std::string& url, std::string& body) {
    Deadline deadline(net);
    if (!OpenRequest(net, url, deadline)) return false;
    if (Lowercase(net.ContentType()).find("text/html") != std::string::npos) {
        CloseAll(net);
        return false;
    }
    std::string read;
    const bool answered = ReadCapped(net, kAdsBodyCap, deadline, read);
    CloseAll(net);
    if (answered) body = std::move(read);
    return answered;
}
