// The fetching rules of the title, the message list and the advertising list over InternetClient.
#include "online/internet.h"

#include "platform/text_parse.h"

#include <cstring>

namespace {
// Appends a chunk as text: a zero byte ends it.
void AppendAsText(std::string& body, const char* chunk, size_t got) {
    body.append(chunk, strnlen(chunk, got));
}

// Reads chunks until a read fails or ends; with a cap, stops once the body is longer than it.
std::string ReadChunks(InternetClient& net, size_t cap) {
    std::string body;
    char chunk[kChunkBytes + 1];
    size_t got = 0;
    while (net.Read(chunk, kChunkBytes, got) && got > 0) {
        AppendAsText(body, chunk, got);
        if (cap && body.size() > cap) break;
    }
    return body;
}

// A session with the agent name and the three time-outs.
bool OpenSession(InternetClient& net) {
    if (!net.Open(kAgentName)) return false;
    net.SetTimeout(InternetTimeout::Connect, kFetchTimeoutMs);
    net.SetTimeout(InternetTimeout::Receive, kFetchTimeoutMs);
    net.SetTimeout(InternetTimeout::Send, kFetchTimeoutMs);
    return true;
}
}  // namespace

std::string FetchTitleText(InternetClient& net, const std::string& url) {
    if (!OpenSession(net)) return {};
    if (!net.OpenUrl(url)) {
        net.Close();
        return {};
    }
    std::string title;
    char buffer[kTitleReadBytes + 1];
    size_t got = 0;
    if (net.Read(buffer, kTitleReadBytes, got) && got > 0) {
        AppendAsText(title, buffer, got);
        title = TrimBlanks(title);
    }
    net.CloseUrl();
    net.Close();
    return title;
}

std::string FetchWholeBody(InternetClient& net, const std::string& url) {
    if (!OpenSession(net)) return {};
    if (!net.OpenUrl(url)) {
        net.Close();
        return {};
    }
    std::string body = ReadChunks(net, 0);
    net.CloseUrl();
    net.Close();
    return body;
}

bool FetchAdsBody(InternetClient& net, const std::string& url, std::string& body) {
    if (!OpenSession(net)) return false;
    if (!net.OpenUrl(url)) {
        net.Close();
        return false;
    }
    if (net.ContentType().find("text/html") != std::string::npos) {
        net.CloseUrl();
        net.Close();
        return false;
    }
    body = ReadChunks(net, kAdsBodyCap);
    net.CloseUrl();
    net.Close();
    return true;
}
