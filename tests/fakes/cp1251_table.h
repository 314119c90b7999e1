// Code page 1251 exactly, from the program's own table of what each byte stands for: the native tests'
// stand-in for the system's conversion, and what the Windows tests hold the system to. UTF-8 of a
// UTF-16 text, for readable test failures.
#pragma once
#include "platform/cp1251_utf16.h"
#include "platform/typed_text.h"

#include <map>
#include <string>

inline Cp1251Conversion TableCp1251(const std::u16string& text) {
    static const std::map<char16_t, char> kBytes = [] {
        std::map<char16_t, char> bytes;
        for (int b = 0; b < 256; ++b) bytes[Utf16FromCp1251(static_cast<unsigned char>(b))] = static_cast<char>(b);
        return bytes;
    }();
    Cp1251Conversion out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = kBytes.find(text[i]);
        if (byte != kBytes.end()) {
            out.text += byte->second;
            continue;
        }
        if (out.Exact()) out.outside = i;
        out.text += '?';
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            ++i;  // a pair is one character
    }
    return out;
}

inline std::string Utf8Of(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
