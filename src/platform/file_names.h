// The names the file layer makes and accepts: its own temporaries beside a target (so a clean-up
// removes those and nothing else), and the extended-length form that lifts the 260-character limit
// from Windows paths.
#pragma once
#include <cstdint>
#include <string>

// A temporary for the file named `targetName` (a bare name): "<target>.tmp<process>-<counter>-<tick>",
// the tick reduced to its last five digits. The result never passes kMaxNameChars: a target name too
// long for the suffix keeps its beginning and gets a checksum of the whole name in place of the rest.
std::wstring TemporaryNameFor(const std::wstring& targetName, std::uint32_t process, std::uint32_t counter,
                              unsigned long long tick);
// The longest file name (one path component) file systems take.
constexpr size_t kMaxNameChars = 255;
// True only for a name TemporaryNameFor could have made for `targetName` (the target's name part in
// any letter case, then exactly the three numbers).
bool IsOwnTemporaryOf(const std::wstring& targetName, const std::wstring& candidateName);
// A search pattern that finds every temporary of `targetName` (and possibly other names).
std::wstring TemporaryPatternFor(const std::wstring& targetName);
// A temporary last written more than `maxAge` before `now` (both 100-ns file times); one dated in the
// future is never stale.
bool IsStaleTemporary(uint64_t now, uint64_t written, uint64_t maxAge);

// `fullPath` (an absolute Windows path, drive or UNC) in its extended-length form ("\\?\C:\...",
// "\\?\UNC\server\share\..."), separators made backslashes; a path already in that form, a device
// path or a relative one is returned as it is.
std::wstring ExtendedLengthPath(const std::wstring& fullPath);
