// Win32 implementation of file_io.h: UTF-16 paths, flush to disk, then an atomic replace.
#include "platform/file_io.h"
#include "platform/text_win.h"

#include <windows.h>

#include <algorithm>

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string result;
    char chunk[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr)) && got > 0) result.append(chunk, got);
    CloseHandle(file);
    if (!ok) return false;
    bytes.swap(result);
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const std::wstring target = WideFromUtf8(path);
    const std::wstring temp = target + L".tmp" + std::to_wstring(GetCurrentProcessId());
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        ok = WriteFile(file, bytes.data() + done, part, &written, nullptr) && written == part;
        done += written;
    }
    ok = FlushFileBuffers(file) && ok;
    CloseHandle(file);
    if (ok && MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp.c_str());
    return false;
}
