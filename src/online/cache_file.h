// Cache files beside the executable: every byte XOR-ed with a repeating 8-byte key, and a
// one-month freshness rule on the file's last-write time (100-ns intervals since 1601, UTC).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr unsigned char ENCRYPTION_KEY[] = {0x5C, 0x13, 0xE7, 0x28, 0x91, 0x6D, 0xB4, 0x0F};
constexpr size_t KEY_SIZE = 8;
constexpr uint64_t monthIn100ns = 25920000000000ULL;  // exactly 30 days

// The longest full cache path accepted, in characters (a 260-character buffer with its terminator).
constexpr size_t kMaxCachePathChars = 259;

// What the cache files need from the system: where the executable is, and file and clock times.
class CacheHost {
public:
    virtual ~CacheHost() = default;
    virtual bool ExecutablePath(std::string& utf8) = 0;
    virtual bool LastWriteTime(const std::string& utf8Path, uint64_t& fileTime) = 0;
    virtual uint64_t CurrentFileTime() = 0;  // now, UTC
};
CacheHost& SystemCacheHost();  // the running platform's

void XorEncryptDecrypt(std::vector<unsigned char>& data);

// The executable's path cut after its last path separator, plus `fileName`; false when the result
// would not fit in kMaxCachePathChars.
bool BuildCachePath(const std::string& exePath, const std::string& fileName, std::string& fullPath);

bool SaveEncryptedToFile(CacheHost& host, const std::string& content, const std::string& filename);
// A file larger than `maxBytes` (the cap of what was cached) is not loaded.
bool LoadEncryptedFromFile(CacheHost& host, const std::string& filename, std::size_t maxBytes,
                           std::string& outContent);
bool IsFileOlderThanMonth(CacheHost& host, const std::string& filename);

constexpr const char* kTitleCacheFile = "title.dat";
constexpr const char* kInspirationalCacheFile = "inspirational.dat";
