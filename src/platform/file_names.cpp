// Temporary names and extended-length paths (see file_names.h).
#include "platform/file_names.h"

#include <algorithm>

namespace {
constexpr size_t kMaxNumberDigits = 20;  // the largest 64-bit number
constexpr unsigned long long kTickModulus = 100000;
// The longest suffix made: ".tmp", a 10-digit process, "-", a 10-digit counter, "-", a 5-digit tick.
constexpr size_t kLongestSuffix = 4 + 10 + 1 + 10 + 1 + 5;
constexpr size_t kChecksumChars = 9;  // '~' and eight hex digits

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return AsciiLower(x) == AsciiLower(y); });
}

// Reads a run of 1 to 20 digits at `at`; false when there is none.
bool SkipNumber(const std::wstring& text, size_t& at) {
    const size_t start = at;
    while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') ++at;
    return at > start && at - start <= kMaxNumberDigits;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// FNV-1a over the name in the letter case the comparison ignores, so every spelling of one target
// shortens alike.
std::uint32_t NameChecksum(const std::wstring& name) {
    std::uint32_t hash = 2166136261u;
    for (wchar_t c : name) {
        hash = (hash ^ static_cast<std::uint32_t>(AsciiLower(c))) * 16777619u;
    }
    return hash;
}

// The part of a temporary's name that stands for its target.
std::wstring NamePartFor(const std::wstring& targetName) {
    if (targetName.size() + kLongestSuffix <= kMaxNameChars) return targetName;
    size_t keep = kMaxNameChars - kLongestSuffix - kChecksumChars;
    if (targetName[keep - 1] >= 0xD800 && targetName[keep - 1] <= 0xDBFF) --keep;  // never half a character
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::wstring part = targetName.substr(0, keep) + L"~";
    const std::uint32_t checksum = NameChecksum(targetName);
    for (int shift = 28; shift >= 0; shift -= 4) part += kHex[(checksum >> shift) & 0xF];
    return part;
}

// The digits of `value`, written here: std::to_wstring goes through the C library's wide printf,
// which would come into the exe for these few digits alone.
std::wstring Decimal(unsigned long long value) {
    const std::string digits = std::to_string(value);
    return std::wstring(digits.begin(), digits.end());
}
}  // namespace

std::wstring TemporaryNameFor(const std::wstring& targetName, std::uint32_t process, std::uint32_t counter,
                              unsigned long long tick) {
    return NamePartFor(targetName) + L".tmp" + Decimal(process) + L"-" + Decimal(counter) + L"-" +
           Decimal(tick % kTickModulus);
}

bool IsOwnTemporaryOf(const std::wstring& targetName, const std::wstring& candidateName) {
    const std::wstring marker = L".tmp";
    const std::wstring namePart = NamePartFor(targetName);
    if (candidateName.size() < namePart.size() + marker.size() ||
        !SameNameIgnoringCase(candidateName.substr(0, namePart.size()), namePart) ||
        candidateName.compare(namePart.size(), marker.size(), marker) != 0)
        return false;
    size_t at = namePart.size() + marker.size();
    for (int number = 0; number < 3; ++number) {
        if (number > 0 && (at >= candidateName.size() || candidateName[at++] != L'-')) return false;
        if (!SkipNumber(candidateName, at)) return false;
    }
    return at == candidateName.size();
}

std::wstring TemporaryPatternFor(const std::wstring& targetName) { return NamePartFor(targetName) + L".tmp*"; }

bool IsStaleTemporary(uint64_t now, uint64_t written, uint64_t maxAge) {
    return written <= now && now - written > maxAge;
}

std::wstring ExtendedLengthPath(const std::wstring& fullPath) {
    std::wstring path = fullPath;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0) return path;
    if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\') return L"\\\\?\\UNC\\" + path.substr(2);
    const bool drive = path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                       path[1] == L':' && IsSeparator(path[2]);
    return drive ? L"\\\\?\\" + path : fullPath;
}
