// The names the file layer makes and accepts: its own temporaries beside a target (so a clean-up
// removes those and nothing else), and the extended-length form that lifts the 260-character limit
// from Windows paths.
#pragma once
#include <cstdint>
#include <string>

// A temporary for the file named `targetName` (a bare name): "<target>.tmp<process>-<counter>-<tick>".
std::wstring TemporaryNameFor(const std::wstring& targetName, unsigned long process, unsigned long counter,
                              unsigned long long tick);
// True only for a name TemporaryNameFor could have made for `targetName` (the target's name in any
// letter case, then exactly the three numbers).
bool IsOwnTemporaryOf(const std::wstring& targetName, const std::wstring& candidateName);
// A temporary last written more than `maxAge` before `now` (both 100-ns file times); one dated in the
// future is never stale.
bool IsStaleTemporary(uint64_t now, uint64_t written, uint64_t maxAge);

// `fullPath` (an absolute Windows path, drive or UNC) in its extended-length form ("\\?\C:\...",
// "\\?\UNC\server\share\..."), separators made backslashes; a path already in that form, a device
// path or a relative one is returned as it is.
std::wstring ExtendedLengthPath(const std::wstring& fullPath);
