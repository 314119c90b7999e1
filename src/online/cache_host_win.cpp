// Windows binding of the cache files' system queries: the module path, a file's last-write time
// and the current UTC time, all as file times.
#include "online/cache_file.h"

#include "platform/text_win.h"

#include <windows.h>

namespace {
uint64_t ToUint64(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

class WinCacheHost : public CacheHost {
public:
    bool ExecutablePath(std::string& utf8) override {
        wchar_t buffer[MAX_PATH];
        const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return false;  // failed or cut short
        utf8 = Utf8FromWide(std::wstring(buffer, n));
        return true;
    }
    bool LastWriteTime(const std::string& utf8Path, uint64_t& fileTime) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(WideFromUtf8(utf8Path).c_str(), GetFileExInfoStandard, &data)) return false;
        fileTime = ToUint64(data.ftLastWriteTime);
        return true;
    }
    uint64_t CurrentFileTime() override {
        SYSTEMTIME now;
        GetSystemTime(&now);
        FILETIME asFileTime;
        SystemTimeToFileTime(&now, &asFileTime);
        return ToUint64(asFileTime);
    }
};
}  // namespace

CacheHost& SystemCacheHost() {
    static WinCacheHost host;
    return host;
}
