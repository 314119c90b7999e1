// Test doubles for the online texts: an HTTP client that replays a scripted response and records
// every call, and a cache host rooted in a fresh temporary folder with settable file and clock times.
#pragma once
#include "fakes/temp_folder.h"
#include "platform/file_io.h"
#include "online/cache_file.h"
#include "online/internet.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// One scripted answer of the server.
struct ScriptedResponse {
    bool reachable = true;             // false: OpenUrl fails
    std::string contentType;
    std::vector<std::string> chunks;   // what the server sends, read by read when each fits
    bool failReadAfterChunks = false;  // the read after the last chunk fails instead of ending
    int status = 200;
    unsigned long msPerRead = 0;       // how far each read moves the clock
};

struct ScriptedInternet : InternetClient {
    bool openWorks = true;
    ScriptedResponse response;                        // for every URL not in byPath
    std::map<std::string, ScriptedResponse> byPath;   // keyed by the URL's path, e.g. "/ads.txt"

    std::vector<std::string> calls;  // "Open agent", "Timeout 0 5000", "OpenUrl url", "Status", "Read 4095", ...
    std::vector<unsigned long> waits;  // every LimitWait, in order
    uint64_t now = 1000;               // the clock, moved only by reads
    const ScriptedResponse* current = nullptr;
    size_t nextChunk = 0, offset = 0;

    bool Open(const std::string& agent) override {
        calls.push_back("Open " + agent);
        return openWorks;
    }
    void SetTimeout(InternetTimeout which, unsigned long ms) override {
        calls.push_back("Timeout " + std::to_string(static_cast<int>(which)) + " " + std::to_string(ms));
    }
    void LimitWait(unsigned long ms) override { waits.push_back(ms); }
    uint64_t NowMs() override { return now; }
    bool OpenUrl(const std::string& url) override {
        calls.push_back("OpenUrl " + url);
        current = &response;
        for (const auto& entry : byPath)
            if (url.size() >= entry.first.size() && url.compare(url.size() - entry.first.size(), std::string::npos,
                                                                entry.first) == 0)
                current = &entry.second;
        nextChunk = offset = 0;
        return current->reachable;
    }
    int StatusCode() override {
        calls.push_back("Status");
        return current->status;
    }
    std::string ContentType() override {
        calls.push_back("ContentType");
        return current->contentType;
    }
    bool Read(char* buffer, size_t size, size_t& got) override {
        calls.push_back("Read " + std::to_string(size));
        now += current->msPerRead;
        got = 0;
        if (nextChunk >= current->chunks.size()) return !current->failReadAfterChunks;
        const std::string& chunk = current->chunks[nextChunk];
        got = chunk.size() - offset < size ? chunk.size() - offset : size;
        memcpy(buffer, chunk.data() + offset, got);
        offset += got;
        if (offset == chunk.size()) {
            ++nextChunk;
            offset = 0;
        }
        return true;
    }
    void CloseUrl() override { calls.push_back("CloseUrl"); }
    void Close() override { calls.push_back("Close"); }
    int Fetches(const std::string& path) const {
        int n = 0;
        for (const std::string& call : calls)
            if (call.rfind("OpenUrl ", 0) == 0 && call.size() >= path.size() &&
                call.compare(call.size() - path.size(), std::string::npos, path) == 0)
                ++n;
        return n;
    }
};

struct TempCacheHost : CacheHost {
    TempFolder folder{"online_cache"};
    const std::filesystem::path& dir = folder.dir;
    uint64_t now = 0;      // the clock
    uint64_t written = 0;  // the last-write time reported for every existing file
    bool pathWorks = true;

    bool ExecutablePath(std::string& utf8) override {
        utf8 = (dir / "RizidudUdaravuzuv.exe").u8string();
        return pathWorks;
    }
    bool LastWriteTime(const std::string& utf8Path, uint64_t& fileTime) override {
        if (!std::filesystem::exists(std::filesystem::u8path(utf8Path))) return false;
        fileTime = written;
        return true;
    }
    uint64_t CurrentFileTime() override { return now; }

    std::string PathOf(const std::string& name) const { return (dir / name).u8string(); }
    std::string RawFile(const std::string& name) const {
        std::string bytes;
        ReadWholeFile(PathOf(name), bytes, SIZE_MAX);
        return bytes;
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
    void Put(const std::string& name, const std::string& raw) const { WriteFileAtomically(PathOf(name), raw); }
};
