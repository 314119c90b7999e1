// The WinINet binding of InternetClient (the only code that calls WinINet).
#pragma once
#include "online/internet.h"

#include <windows.h>
#include <wininet.h>

class WinInetClient : public InternetClient {
public:
    ~WinInetClient() override;
    bool Open(const std::string& agent) override;
    void SetTimeout(InternetTimeout which, unsigned long milliseconds) override;
    bool OpenUrl(const std::string& url) override;
    std::string ContentType() override;
    bool Read(char* buffer, size_t size, size_t& got) override;
    void CloseUrl() override;
    void Close() override;

    HINTERNET Root() const { return root_; }  // the session handle, for checking its options

private:
    HINTERNET root_ = nullptr;
    HINTERNET url_ = nullptr;
};
