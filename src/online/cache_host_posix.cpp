// Native binding of the cache files' system queries: /proc/self/exe, stat and the real-time clock,
// all times converted to 100-ns intervals since 1601 (UTC).
#include "online/cache_file.h"

#include <climits>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ULL;

// The POSIX seconds-and-nanoseconds time record, as stat and clock_gettime give it.
using PosixTime = decltype(stat::st_mtim);

uint64_t ToFileTime(const PosixTime& t) {
    return (static_cast<uint64_t>(t.tv_sec) + kSecondsFrom1601To1970) * 10000000ULL +
           static_cast<uint64_t>(t.tv_nsec) / 100;
}

class PosixCacheHost : public CacheHost {
public:
    bool ExecutablePath(std::string& utf8) override {
        char buffer[PATH_MAX];
        const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return false;
        utf8.assign(buffer, static_cast<size_t>(n));
        return true;
    }
    bool LastWriteTime(const std::string& utf8Path, uint64_t& fileTime) override {
        struct stat info;
        if (stat(utf8Path.c_str(), &info) != 0) return false;
        fileTime = ToFileTime(info.st_mtim);
        return true;
    }
    uint64_t CurrentFileTime() override {
        PosixTime now;
        clock_gettime(CLOCK_REALTIME, &now);
        return ToFileTime(now);
    }
};
}  // namespace

CacheHost& SystemCacheHost() {
    static PosixCacheHost host;
    return host;
}
