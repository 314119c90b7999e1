// One setup for both file dialogs.
#include "platform/file_dialog_win.h"

#include "platform/text_win.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace {
// Room for any path the dialog can return: a 256-character buffer would make it refuse long ones.
constexpr size_t kPathBufferChars = 32768;

std::wstring TextFileFilter() {
    std::wstring filter = WideFromCp1251("Текстовые файлы");
    filter += L'\0';
    filter += L"*.txt";
    filter += L'\0';
    filter += WideFromCp1251("Все файлы");
    filter += L'\0';
    filter += L"*.*";
    filter += L'\0';
    return filter;
}

bool AskFileName(HWND owner, const std::string& proposed, bool save, std::wstring& path) {
    std::vector<wchar_t> buffer(kPathBufferChars, L'\0');
    const std::wstring name = WideFromCp1251(proposed);
    name.copy(buffer.data(), std::min(name.size(), buffer.size() - 1));
    const std::wstring filter = TextFileFilter();

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    if (save) {
        dialog.lpstrDefExt = L"txt";
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    } else {
        dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    }
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return false;
    path = buffer.data();
    return !path.empty();
}
}  // namespace

bool AskSaveFileName(HWND owner, const std::string& defaultName, std::wstring& path) {
    return AskFileName(owner, defaultName, true, path);
}

bool AskOpenFileName(HWND owner, std::wstring& path) { return AskFileName(owner, "", false, path); }
