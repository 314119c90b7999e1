// Fuzz target: what comes from the vendor's server or its cache files. Message and advertising lines
// take any bytes and keep only what their rules allow; a cache file decodes to what was encoded; the
// cache path is cut at the last separator and never longer than the limit.
#include "online/cache_file.h"
#include "online/message_format.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsMarkerColor(uint32_t color) {
    return color == 0x0000FF || color == 0x008000 || color == 0x00A5FF || color == 0x800080;
}

// Lines are trimmed of blanks, CR and LF, and the blanks after a marker are skipped too.
bool StartsOrEndsBlank(const std::string& text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    return !text.empty() && (text.front() == ' ' || text.front() == '\t' || blank(text.back()));
}

// The lines a message text can come from: split at LF, never more messages than lines.
size_t LineCount(const std::string& text) {
    size_t lines = 1;
    for (char c : text) lines += c == '\n';
    return lines;
}

void CheckMessages(const std::vector<AdMessage>& messages, const std::string& text, uint32_t defaultColor,
                   bool adRules) {
    Check(messages.size() <= LineCount(text));
    for (const AdMessage& message : messages) {
        Check(message.text.find('\n') == std::string::npos);
        Check(!StartsOrEndsBlank(message.text));
        Check(message.color == defaultColor || IsMarkerColor(message.color));
        if (message.bold) Check(message.color == 0x0000FF || message.color == 0x800080);
        if (adRules) {
            Check(message.text.find('<') == std::string::npos);
            Check(message.text.size() <= kMaxAdTextBytes);
        }
    }
}

size_t Characters(const std::string& utf8) {
    size_t count = 0;
    for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
    return count;
}

void CheckCachePath(const std::string& exePath, const std::string& fileName) {
    std::string fullPath = "unchanged";
    const bool built = BuildCachePath(exePath, fileName, fullPath);
    const size_t separator = exePath.find_last_of("\\/");
    const std::string folder = separator == std::string::npos ? exePath : exePath.substr(0, separator + 1);
    const std::string expected = folder + fileName;
    Check(built == (Characters(expected) <= kMaxCachePathChars));
    Check(fullPath == (built ? expected : "unchanged"));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const uint32_t defaultColor = input.ConsumeBool() ? kMessageCacheColor : 0x123456;
    const std::string exePath = input.ConsumeRandomLengthString(400);
    const std::string fileName = input.ConsumeRandomLengthString(300);
    const std::string text = input.ConsumeRemainingBytesAsString();

    CheckMessages(ParseMessageLines(text, defaultColor), text, defaultColor, false);
    CheckMessages(ParseAdLines(text), text, kAdsColor, true);

    // The stored bytes of a cache file: decoding them reads messages, encoding the result gives the
    // same bytes back, and the key is applied position by position.
    std::vector<unsigned char> bytes(text.begin(), text.end());
    XorEncryptDecrypt(bytes);
    for (size_t i = 0; i < bytes.size(); ++i)
        Check((bytes[i] ^ ENCRYPTION_KEY[i % KEY_SIZE]) == static_cast<unsigned char>(text[i]));
    const std::string decoded(bytes.begin(), bytes.end());
    CheckMessages(ParseMessageLines(decoded, kMessageCacheColor), decoded, kMessageCacheColor, false);
    XorEncryptDecrypt(bytes);
    Check(std::string(bytes.begin(), bytes.end()) == text);

    CheckCachePath(exePath, fileName);
    return 0;
}
