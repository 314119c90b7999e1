// The WinINet binding of InternetClient (the only code that calls WinINet).
#pragma once
#include "online/internet.h"

#include <windows.h>
#include <wininet.h>

// The system's receive time-out when a session sets none.
constexpr DWORD kSystemReceiveTimeoutMs = 30000;

class WinInetClient : public InternetClient {
public:
    ~WinInetClient() override;
    bool Open(const std::string& agent) override;
    void SetTimeout(InternetTimeout which, unsigned long milliseconds) override;
    void LimitWait(unsigned long milliseconds) override;
    uint64_t NowMs() override;
    bool OpenUrl(const std::string& url) override;
    int StatusCode() override;
    std::string ContentType() override;
    bool Read(char* buffer, size_t size, size_t& got) override;
    void CloseUrl() override;
    void Close() override;

    HINTERNET Root() const { return root_; }
    // The longest a request or a read keeps the caller waiting: the session's receive time-out, or
    // less when the caller limits the wait. WinINet normally gives up by then itself; the bound also
    // holds where it does not.
    DWORD WaitLimitMs() const { return callLimitMs_ < waitLimitMs_ ? callLimitMs_ : waitLimitMs_; }

protected:
    virtual BOOL SetOption(HINTERNET handle, DWORD option, void* value, DWORD size);

private:
    void GiveUp();

    HINTERNET root_ = nullptr;
    HINTERNET url_ = nullptr;
    // The body's length as the answer declared it (-1: not declared) and what has arrived of it, so a
    // connection closed before the end is a failed read even where the system reports a normal end.
    long long declaredLength_ = -1;
    unsigned long long received_ = 0;
    DWORD waitLimitMs_ = kSystemReceiveTimeoutMs;
    DWORD callLimitMs_ = INFINITE;
};
