// Conversions between code page 1251, UTF-8 and UTF-16, and the text calls built on them.
#include "platform/text_win.h"

namespace {
std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string FromWide(UINT codePage, const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}
}  // namespace

std::wstring WideFromCp1251(const std::string& cp1251) { return ToWide(1251, cp1251); }
std::string Cp1251FromWide(const std::wstring& utf16) { return FromWide(1251, utf16); }
std::wstring WideFromUtf8(const std::string& utf8) { return ToWide(CP_UTF8, utf8); }
std::string Utf8FromWide(const std::wstring& utf16) { return FromWide(CP_UTF8, utf16); }

std::string GetControlText(HWND control) {
    int length = GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::wstring text(length + 1, L'\0');
    length = GetWindowTextW(control, &text[0], length + 1);
    text.resize(length > 0 ? length : 0);
    return Cp1251FromWide(text);
}

void SetControlText(HWND control, const std::string& cp1251) { SetWindowTextW(control, WideFromCp1251(cp1251).c_str()); }

int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    return MessageBoxW(owner, WideFromCp1251(text).c_str(), WideFromCp1251(caption).c_str(), type);
}

std::wstring SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text;
}
