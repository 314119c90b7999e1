// Conversions between code page 1251, UTF-8 and UTF-16, and the text calls built on them.
#include "platform/text_win.h"

#include "platform/message_box_win.h"

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

// The 1251 bytes of `count` units without look-alikes; false when one of them has no place there.
bool ExactCp1251(const wchar_t* units, size_t count, std::string& out) {
    out.assign(count, '\0');  // one byte a character at most
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(1251, WC_NO_BEST_FIT_CHARS, units, static_cast<int>(count), &out[0],
                                      static_cast<int>(out.size()), nullptr, &usedDefault);
    out.resize(n > 0 ? n : 0);
    return n > 0 && !usedDefault;
}

size_t CharacterUnits(const std::wstring& text, size_t at) {
    return IS_HIGH_SURROGATE(text[at]) && at + 1 < text.size() && IS_LOW_SURROGATE(text[at + 1]) ? 2 : 1;
}
}  // namespace

Cp1251Conversion Cp1251FromWideExact(const std::wstring& utf16) {
    Cp1251Conversion result;
    if (utf16.empty() || ExactCp1251(utf16.data(), utf16.size(), result.text)) return result;
    // Which character it was: one at a time, a surrogate pair as one.
    std::string one;
    for (size_t at = 0; at < utf16.size(); at += CharacterUnits(utf16, at))
        if (!ExactCp1251(&utf16[at], CharacterUnits(utf16, at), one)) {
            result.outside = at;
            return result;
        }
    result.outside = 0;  // refused whole though each character fits: never let it through changed
    return result;
}

Cp1251Conversion Cp1251FromUtf16Exact(const std::u16string& utf16) { return Cp1251FromWideExact(WideFromUtf16(utf16)); }
std::wstring WideFromUtf16(const std::u16string& utf16) { return std::wstring(utf16.begin(), utf16.end()); }
std::u16string Utf16FromWide(const std::wstring& wide) { return std::u16string(wide.begin(), wide.end()); }

std::wstring WideFromCp1251(const std::string& cp1251) { return ToWide(1251, cp1251); }
std::string Cp1251FromWide(const std::wstring& utf16) { return FromWide(1251, utf16); }
std::wstring WideFromUtf8(const std::string& utf8) { return ToWide(CP_UTF8, utf8); }
std::string Utf8FromWide(const std::wstring& utf16) { return FromWide(CP_UTF8, utf16); }

namespace {
std::wstring ControlText(HWND control) {
    int length = GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::wstring text(length + 1, L'\0');
    length = GetWindowTextW(control, &text[0], length + 1);
    text.resize(length > 0 ? length : 0);
    return text;
}
}  // namespace

std::string GetControlText(HWND control) { return Cp1251FromWide(ControlText(control)); }
std::u16string GetControlTextUtf16(HWND control) { return Utf16FromWide(ControlText(control)); }

void SetControlText(HWND control, const std::string& cp1251) { SetWindowTextW(control, WideFromCp1251(cp1251).c_str()); }

int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    return ShowMessageBox(owner, WideFromCp1251(text), WideFromCp1251(caption), type);
}

int ShowMessage(HWND owner, const std::u16string& text, const std::string& caption, UINT type) {
    return ShowMessageBox(owner, WideFromUtf16(text), WideFromCp1251(caption), type);
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
