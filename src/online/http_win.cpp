// WinINet behind InternetClient: a direct session, uncached requests, the Content-Type header and
// chunked reads. Texts cross as UTF-16; the body stays bytes.
#include "online/http_win.h"

#include "app/text_win.h"

namespace {
DWORD OptionFor(InternetTimeout which) {
    switch (which) {
        case InternetTimeout::Connect: return INTERNET_OPTION_CONNECT_TIMEOUT;
        case InternetTimeout::Receive: return INTERNET_OPTION_RECEIVE_TIMEOUT;
        case InternetTimeout::Send: return INTERNET_OPTION_SEND_TIMEOUT;
    }
    return 0;
}
}  // namespace

WinInetClient::~WinInetClient() {
    CloseUrl();
    Close();
}

bool WinInetClient::Open(const std::string& agent) {
    Close();
    root_ = InternetOpenW(Wide(agent).c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    return root_ != nullptr;
}

void WinInetClient::SetTimeout(InternetTimeout which, unsigned long milliseconds) {
    DWORD value = milliseconds;
    if (root_) InternetSetOptionW(root_, OptionFor(which), &value, sizeof value);
}

bool WinInetClient::OpenUrl(const std::string& url) {
    CloseUrl();
    if (!root_) return false;
    url_ = InternetOpenUrlW(root_, Wide(url).c_str(), nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE,
                            0);
    return url_ != nullptr;
}

std::string WinInetClient::ContentType() {
    if (!url_) return {};
    std::wstring value(256, L'\0');
    DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    BOOL ok = HttpQueryInfoW(url_, HTTP_QUERY_CONTENT_TYPE, &value[0], &bytes, nullptr);
    if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {  // a long header is still checked whole
        value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        ok = HttpQueryInfoW(url_, HTTP_QUERY_CONTENT_TYPE, &value[0], &bytes, nullptr);
    }
    if (!ok) return {};
    value.resize(bytes / sizeof(wchar_t));
    return Narrow(value);
}

bool WinInetClient::Read(char* buffer, size_t size, size_t& got) {
    DWORD read = 0;
    const BOOL ok = url_ && InternetReadFile(url_, buffer, static_cast<DWORD>(size), &read);
    got = ok ? read : 0;
    return ok != FALSE;
}

void WinInetClient::CloseUrl() {
    if (url_) InternetCloseHandle(url_);
    url_ = nullptr;
}

void WinInetClient::Close() {
    if (root_) InternetCloseHandle(root_);
    root_ = nullptr;
}

InternetClient& SystemInternet() {
    static WinInetClient client;
    return client;
}
