// Win32 implementation of file_hold.h: opened with no sharing at all and deleted on close, so that a
// second open fails with a sharing violation for as long as the handle lives, and the system removes
// the file when it closes the handle of a process that ends in any way.
#include "platform/file_hold.h"
#include "platform/text_win.h"

#include <windows.h>

HoldResult FileHold::Take(const std::string& path) {
    Release();
    HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? HoldResult::kHeldElsewhere : HoldResult::kNotHeld;
    handle_ = reinterpret_cast<std::intptr_t>(file);
    path_ = path;
    return HoldResult::kHeld;
}

void FileHold::Release() {
    if (handle_ == -1) return;
    CloseHandle(reinterpret_cast<HANDLE>(handle_));  // the file goes with it
    handle_ = -1;
    path_.clear();
}
