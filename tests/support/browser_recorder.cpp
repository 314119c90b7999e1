// Implementation of the browser stand-in (see browser_recorder.h).
#include "browser_recorder.h"

#include "harness.h"

#include <windows.h>

namespace harness {

namespace {
const wchar_t kKey[] = L"Software\\Wine\\WineBrowser";

// Beside the world's Wine prefix, where the script writes it.
std::wstring LogPath() { return JoinPath(WorldDir(), L"browser-urls.log"); }

// The script beside this source file, as a Unix path (Wine runs browsers as Unix programs).
std::wstring ScriptPath() {
    const std::string script = TEST_SUPPORT_DIR "/record-browser-url";
    return std::wstring(script.begin(), script.end());
}
}  // namespace

BrowserRecorder::BrowserRecorder() {
    wchar_t value[1024];
    DWORD size = sizeof value;
    hadPrevious_ = RegGetValueW(HKEY_CURRENT_USER, kKey, L"Browsers", RRF_RT_REG_SZ, nullptr, value, &size) ==
                   ERROR_SUCCESS;
    if (hadPrevious_) previous_ = value;
    const std::wstring script = ScriptPath();
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Browsers", REG_SZ, script.c_str(),
                    static_cast<DWORD>((script.size() + 1) * sizeof(wchar_t)));
    DeleteFileW(LogPath().c_str());
}

BrowserRecorder::~BrowserRecorder() {
    if (hadPrevious_) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Browsers", REG_SZ, previous_.c_str(),
                        static_cast<DWORD>((previous_.size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Browsers");
    }
    DeleteFileW(LogPath().c_str());
}

std::vector<std::string> BrowserRecorder::Urls() const {
    std::vector<std::string> urls;
    for (const std::string& line : SplitLines(ReadFileBytes(LogPath()), "\n", OpenLastLine::Kept))
        if (!line.empty()) urls.push_back(line);
    return urls;
}

bool BrowserRecorder::WaitForUrls(size_t count, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return Urls().size() >= count; }, timeout);
}

}  // namespace harness
