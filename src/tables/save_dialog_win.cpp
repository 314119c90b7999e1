// Save dialog, atomic file writing, and path-carrying messages of the table generators.
#include "tables/save_dialog_win.h"

#include "app/file_io.h"
#include "app/text_win.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

bool AskSaveFileName(HWND owner, const std::string& defaultName, std::wstring& path) {
    // Room for any path the dialog can return; a 256-character buffer would make it refuse long ones.
    std::vector<wchar_t> buffer(32768, L'\0');
    const std::wstring proposed = Wide(defaultName);
    proposed.copy(buffer.data(), std::min(proposed.size(), buffer.size() - 1));

    std::wstring filter = Wide("Текстовые файлы");
    filter += L'\0';
    filter += L"*.txt";
    filter += L'\0';
    filter += Wide("Все файлы");
    filter += L'\0';
    filter += L"*.*";
    filter += L'\0';

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrDefExt = L"txt";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&dialog)) return false;
    path = buffer.data();
    return !path.empty();
}

bool WriteTextFile(const std::wstring& path, const std::string& bytes) {
    return WriteFileAtomically(Utf8FromWide(path), bytes);
}

int ShowMessageWithPath(HWND owner, const std::string& text, const std::wstring& path, const std::string& caption) {
    std::wstring message = Wide(text);
    const std::wstring marker = Wide(kPathMarker);
    const size_t at = message.find(marker);
    if (at != std::wstring::npos) message.replace(at, marker.size(), path);
    return MessageBoxW(owner, message.c_str(), Wide(caption).c_str(), MB_OK);
}
