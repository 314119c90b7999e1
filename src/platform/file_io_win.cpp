// Win32 implementation of file_io.h: UTF-16 paths in their extended-length form, flush to disk, then an
// atomic replace that keeps the replaced file's attributes and security.
#include "platform/file_io.h"
#include "platform/file_names.h"
#include "platform/text_win.h"

#include <windows.h>

#include <algorithm>

namespace {
// Temporaries a killed process left behind are removed at the next save of the same file once they
// are this old, so one still being written by another instance is never touched.
constexpr ULONGLONG kStaleTempAge100ns = 10ULL * 60 * 10000000;

ULONGLONG AsNumber(const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// The path made absolute and put in its extended-length form, so that a path the dialogs accept (up to
// 32,767 characters), and the longer name of its temporary, work everywhere below.
std::wstring SystemPath(const std::string& utf8) {
    const std::wstring path = WideFromUtf8(utf8);
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    return ExtendedLengthPath(full);
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring NameOf(const std::wstring& path) { return path.substr(FolderOf(path).size()); }

// Only names of exactly the form CreateUniqueTemporary gives, and only stale ones: a file of the
// user's that merely begins with the target's name, or one dated in the future, stays.
void RemoveStaleTemporaries(const std::wstring& target) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((FolderOf(target) + TemporaryPatternFor(NameOf(target))).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME nowTime;
    GetSystemTimeAsFileTime(&nowTime);
    const ULONGLONG now = AsNumber(nowTime);
    const std::wstring targetName = NameOf(target);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (IsOwnTemporaryOf(targetName, found.cFileName) &&
            IsStaleTemporary(now, AsNumber(found.ftLastWriteTime), kStaleTempAge100ns))
            DeleteFileW((FolderOf(target) + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// A new file beside the target under a name nobody else holds: CREATE_NEW never opens or follows
// something already there.
HANDLE CreateUniqueTemporary(const std::wstring& target, std::wstring& temp) {
    static LONG counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = FolderOf(target) + TemporaryNameFor(NameOf(target), GetCurrentProcessId(),
                                                   static_cast<std::uint32_t>(InterlockedIncrement(&counter)),
                                                   GetTickCount64());
        HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, part, &written, nullptr) || written != part) return false;
        done += written;
    }
    return FlushFileBuffers(file) != FALSE;
}

// ReplaceFileW keeps the target's security and creation time; a target that does not exist yet
// simply takes the temporary's place. The attributes are put back explicitly as well, since not every
// implementation of ReplaceFileW carries them over (Wine's does not). A file of this program's own
// (the run's continue point, rewritten after every barcode) has nothing to carry over: a plain move.
bool PutInPlace(const std::wstring& temp, const std::wstring& target, bool ownFile) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_ACCESS_DENIED);  // a folder is never replaced by a file
        return false;
    }
    if (attributes == INVALID_FILE_ATTRIBUTES || ownFile)
        return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) &&
        !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    SetFileAttributesW(target.c_str(), attributes);
    return true;
}
}  // namespace

ReadResult ReadWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
    HANDLE file = CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ReadResult::kNotRead;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return ReadResult::kNotRead;
    }
    if (static_cast<ULONGLONG>(size.QuadPart) > maxBytes) {
        CloseHandle(file);
        return ReadResult::kTooLarge;
    }
    std::string result;
    result.reserve(static_cast<size_t>(size.QuadPart));
    char chunk[65536];
    DWORD got = 0;
    bool ok = true;
    // Never more than the cap plus one chunk, however the file grows meanwhile.
    while ((ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr)) && got > 0 && result.size() <= maxBytes)
        result.append(chunk, got);
    CloseHandle(file);
    if (!ok) return ReadResult::kNotRead;
    if (result.size() > maxBytes) return ReadResult::kTooLarge;
    bytes.swap(result);
    return ReadResult::kRead;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, bool ownFile) {
    const std::wstring target = SystemPath(path);
    RemoveStaleTemporaries(target);
    std::wstring temp;
    HANDLE file = CreateUniqueTemporary(target, temp);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = WriteAll(file, bytes);
    CloseHandle(file);
    if (written && PutInPlace(temp, target, ownFile)) return true;
    const DWORD error = GetLastError();
    DeleteFileW(temp.c_str());
    SetLastError(error);  // the caller may report why
    return false;
}

// Opened for appending only and shared for reading, so a reader of the file sees every row; a
// program that holds the file locked (a spreadsheet showing it) makes the open fail at once.
bool AppendToFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(SystemPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        ok = WriteFile(file, bytes.data() + done, part, &written, nullptr) && written == part;
        done += written;
    }
    CloseHandle(file);
    return ok;
}

long long FileSizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return static_cast<long long>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileW(SystemPath(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

// Only shown: a character of the path that code page 1251 lacks may show as a look-alike.
std::string FolderForMessages(const std::string& folder) {
    const std::wstring path = SystemPath(folder.empty() ? "." : folder);
    wchar_t full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    return length > 0 && length < MAX_PATH * 4 ? Cp1251FromWide(full) : folder;
}
