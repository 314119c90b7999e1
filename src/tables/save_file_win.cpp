// Atomic file writing and path-carrying messages of the table generators.
#include "tables/save_file_win.h"

#include "platform/file_io.h"
#include "platform/message_box_win.h"
#include "platform/text_win.h"


bool WriteTextFile(const std::wstring& path, const std::string& bytes) {
    return WriteFileAtomically(Utf8FromWide(path), bytes);
}

int ShowMessageWithPath(HWND owner, const std::string& text, const std::wstring& path, const std::string& caption) {
    std::wstring message = WideFromCp1251(text);
    const std::wstring marker = WideFromCp1251(kPathMarker);
    const size_t at = message.find(marker);
    if (at != std::wstring::npos) message.replace(at, marker.size(), path);
    return ShowMessageBox(owner, message, WideFromCp1251(caption), MB_OK);
}
