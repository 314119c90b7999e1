// Scrambled cache files: the XOR transform, their path beside the executable, saving, loading and age.
#include "online/cache_file.h"

#include "platform/file_io.h"

namespace {
// Characters, not bytes, count against the path limit: the platform's paths are UTF-16.
size_t CharacterCount(const std::string& utf8) {
    size_t count = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

bool CachePath(CacheHost& host, const std::string& filename, std::string& path) {
    std::string exePath;
    return host.ExecutablePath(exePath) && BuildCachePath(exePath, filename, path);
}
}  // namespace

void XorEncryptDecrypt(std::vector<unsigned char>& data) {
    for (size_t i = 0; i < data.size(); ++i) data[i] ^= ENCRYPTION_KEY[i % KEY_SIZE];
}

bool BuildCachePath(const std::string& exePath, const std::string& fileName, std::string& fullPath) {
    const size_t separator = exePath.find_last_of("\\/");
    std::string path = separator == std::string::npos ? exePath : exePath.substr(0, separator + 1);
    path += fileName;
    if (CharacterCount(path) > kMaxCachePathChars) return false;
    fullPath = path;
    return true;
}

bool SaveEncryptedToFile(CacheHost& host, const std::string& content, const std::string& filename) {
    std::string path;
    if (!CachePath(host, filename, path)) return false;
    std::vector<unsigned char> bytes(content.begin(), content.end());
    XorEncryptDecrypt(bytes);
    return WriteFileAtomically(path, std::string(bytes.begin(), bytes.end()));
}

bool LoadEncryptedFromFile(CacheHost& host, const std::string& filename, std::size_t maxBytes,
                           std::string& outContent) {
    std::string path, stored;
    if (!CachePath(host, filename, path) || ReadWholeFile(path, stored, maxBytes) != ReadResult::kRead ||
        stored.empty())
        return false;
    std::vector<unsigned char> bytes(stored.begin(), stored.end());
    XorEncryptDecrypt(bytes);
    outContent.assign(bytes.begin(), bytes.end());
    return true;
}

bool IsFileOlderThanMonth(CacheHost& host, const std::string& filename) {
    std::string path;
    uint64_t written = 0;
    if (!CachePath(host, filename, path) || !host.LastWriteTime(path, written)) return true;
    // Unsigned on purpose: a time in the future wraps to a huge age and counts as stale.
    return host.CurrentFileTime() - written > monthIn100ns;
}
