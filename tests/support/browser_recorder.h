// Records the pages the utility opens in "the browser": Wine hands http addresses to the programs
// named in HKCU\Software\Wine\WineBrowser "Browsers", which this points at a recording script.
#pragma once
#include <chrono>
#include <string>
#include <vector>

namespace harness {

class BrowserRecorder {
public:
    BrowserRecorder();   // installs the script and starts with an empty record
    ~BrowserRecorder();  // puts the previous setting back
    BrowserRecorder(const BrowserRecorder&) = delete;
    BrowserRecorder& operator=(const BrowserRecorder&) = delete;

    std::vector<std::string> Urls() const;
    // Waits until at least `count` addresses were recorded; false on timeout.
    bool WaitForUrls(size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) const;

private:
    bool hadPrevious_ = false;
    std::wstring previous_;
};

}  // namespace harness
