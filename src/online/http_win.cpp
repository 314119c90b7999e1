// WinINet behind InternetClient: a direct session, uncached requests, the Content-Type header and
// chunked reads. Texts cross as UTF-16; the body stays bytes.
//
// A request or read that outlives the session's receive time-out (or the caller's shorter limit) is
// given up: the blocking call runs on a helper thread that the calling thread waits for with that
// limit, so a server that accepts and never answers cannot hold a fetch for good even where WinINet
// ignores its time-outs. A call given up cleans up after itself when it finally returns.
#include "online/http_win.h"

#include "platform/detached_thread_win.h"
#include "platform/text_win.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace {
DWORD OptionFor(InternetTimeout which) {
    switch (which) {
        case InternetTimeout::Connect: return INTERNET_OPTION_CONNECT_TIMEOUT;
        case InternetTimeout::Receive: return INTERNET_OPTION_RECEIVE_TIMEOUT;
        case InternetTimeout::Send: return INTERNET_OPTION_SEND_TIMEOUT;
    }
    return 0;
}

// What a blocking call hands back, shared by the waiting thread and the helper thread.
struct PendingCall {
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    HINTERNET handle = nullptr;  // a request opened
    BOOL ok = FALSE;             // a read
    DWORD got = 0;
    std::vector<char> bytes;
};

// Runs `call` on a helper thread and waits at most `limitMs`; false when it had to give up.
template <class Call>
bool RunWithin(DWORD limitMs, const std::shared_ptr<PendingCall>& pending, Call call) {
    const bool started = StartDetachedThread([pending, call] {
        call(*pending);
        std::lock_guard<std::mutex> guard(pending->lock);
        if (pending->abandoned) {
            if (pending->handle) InternetCloseHandle(pending->handle);
            return;
        }
        pending->done = true;
        pending->finished.notify_all();
    });
    if (!started) {  // no helper to be had: the call still runs, only without the limit
        call(*pending);
        return true;
    }
    std::unique_lock<std::mutex> guard(pending->lock);
    if (pending->finished.wait_for(guard, std::chrono::milliseconds(limitMs), [&] { return pending->done; }))
        return true;
    pending->abandoned = true;
    return false;
}
}  // namespace

WinInetClient::~WinInetClient() {
    CloseUrl();
    Close();
}

bool WinInetClient::Open(const std::string& agent) {
    CloseUrl();
    Close();
    waitLimitMs_ = kSystemReceiveTimeoutMs;
    callLimitMs_ = INFINITE;
    root_ = InternetOpenW(WideFromCp1251(agent).c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    return root_ != nullptr;
}

BOOL WinInetClient::SetOption(HINTERNET handle, DWORD option, void* value, DWORD size) {
    return InternetSetOptionW(handle, option, value, size);
}

void WinInetClient::SetTimeout(InternetTimeout which, unsigned long milliseconds) {
    if (!root_) return;
    DWORD value = milliseconds;
    SetOption(root_, OptionFor(which), &value, sizeof value);
    if (which == InternetTimeout::Receive) waitLimitMs_ = value;
}

void WinInetClient::LimitWait(unsigned long milliseconds) { callLimitMs_ = milliseconds; }

uint64_t WinInetClient::NowMs() { return GetTickCount64(); }

bool WinInetClient::OpenUrl(const std::string& url) {
    CloseUrl();
    if (!root_) return false;
    auto pending = std::make_shared<PendingCall>();
    const HINTERNET root = root_;
    const std::wstring address = WideFromCp1251(url);
    const bool inTime = RunWithin(WaitLimitMs(), pending, [root, address](PendingCall& call) {
        call.handle = InternetOpenUrlW(root, address.c_str(), nullptr, 0,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    });
    if (!inTime) {
        GiveUp();
        return false;
    }
    url_ = pending->handle;
    received_ = 0;
    declaredLength_ = -1;
    DWORD length = 0, bytes = sizeof length;
    if (url_ && HttpQueryInfoW(url_, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &bytes, nullptr))
        declaredLength_ = length;
    return url_ != nullptr;
}

int WinInetClient::StatusCode() {
    if (!url_) return 0;
    DWORD status = 0, bytes = sizeof status;
    if (!HttpQueryInfoW(url_, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &bytes, nullptr)) return 0;
    return static_cast<int>(status);
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
    return Cp1251FromWide(value);
}

bool WinInetClient::Read(char* buffer, size_t size, size_t& got) {
    got = 0;
    if (!url_) return false;
    auto pending = std::make_shared<PendingCall>();
    pending->bytes.resize(size);
    const HINTERNET request = url_;
    const bool inTime = RunWithin(WaitLimitMs(), pending, [request](PendingCall& call) {
        call.ok = InternetReadFile(request, call.bytes.data(), static_cast<DWORD>(call.bytes.size()), &call.got);
    });
    if (!inTime) {
        GiveUp();
        return false;
    }
    if (!pending->ok) return false;
    if (pending->got == 0 && declaredLength_ >= 0 && received_ < static_cast<unsigned long long>(declaredLength_))
        return false;  // the connection ended before the body did
    received_ += pending->got;
    got = pending->got;
    std::copy(pending->bytes.begin(), pending->bytes.begin() + got, buffer);
    return true;
}

void WinInetClient::GiveUp() {
    CloseUrl();
    Close();
}

void WinInetClient::CloseUrl() {
    if (url_) InternetCloseHandle(url_);
    url_ = nullptr;
}

void WinInetClient::Close() {
    if (root_) InternetCloseHandle(root_);
    root_ = nullptr;
}

std::unique_ptr<InternetClient> NewSystemInternet() { return std::make_unique<WinInetClient>(); }
