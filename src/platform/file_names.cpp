// Temporary names and extended-length paths (see file_names.h).
#include "platform/file_names.h"

#include <algorithm>

namespace {
constexpr size_t kMaxNumberDigits = 20;  // the largest 64-bit number

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
}  // namespace

std::wstring TemporaryNameFor(const std::wstring& targetName, unsigned long process, unsigned long counter,
                              unsigned long long tick) {
    return targetName + L".tmp" + std::to_wstring(process) + L"-" + std::to_wstring(counter) + L"-" +
           std::to_wstring(tick);
}

bool IsOwnTemporaryOf(const std::wstring& targetName, const std::wstring& candidateName) {
    const std::wstring marker = L".tmp";
    if (candidateName.size() < targetName.size() + marker.size() ||
        !SameNameIgnoringCase(candidateName.substr(0, targetName.size()), targetName) ||
        candidateName.compare(targetName.size(), marker.size(), marker) != 0)
        return false;
    size_t at = targetName.size() + marker.size();
    for (int number = 0; number < 3; ++number) {
        if (number > 0 && (at >= candidateName.size() || candidateName[at++] != L'-')) return false;
        if (!SkipNumber(candidateName, at)) return false;
    }
    return at == candidateName.size();
}

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
