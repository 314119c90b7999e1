// Typed fields into code page 1251, and the refusal that names the first character it cannot carry.
#include "platform/typed_text.h"

#include "platform/cp1251_utf16.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr const char* kCannotBeTyped =
    ") нельзя ввести в этой программе.\nЗамените его: программа вводит только символы русской кодировки "
    "Windows — кириллицу, латинские буквы без диакритических знаков, цифры и обычные знаки препинания.";

// A long field or line is quoted around its character, so the message stays a message.
constexpr std::size_t kQuotedBefore = 20, kQuotedUnits = 40;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The character at `at`: two units for a surrogate pair, one otherwise.
std::size_t CharacterUnits(const std::u16string& text, std::size_t at) {
    return IsHighSurrogate(text[at]) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]) ? 2 : 1;
}

char32_t CodePointAt(const std::u16string& text, std::size_t at) {
    if (CharacterUnits(text, at) == 1) return text[at];
    return 0x10000 + ((static_cast<char32_t>(text[at]) - 0xD800) << 10) + (text[at + 1] - 0xDC00);
}

// The text, or the part of it around `at` with an ellipsis where it is cut; never half a pair.
std::u16string Quoted(const std::u16string& text, std::size_t at) {
    if (text.size() <= kQuotedUnits) return text;
    std::size_t from = at > kQuotedBefore ? at - kQuotedBefore : 0;
    if (from > 0 && IsLowSurrogate(text[from]) && IsHighSurrogate(text[from - 1])) --from;
    std::size_t to = std::min(text.size(), from + kQuotedUnits);
    if (to < text.size() && IsLowSurrogate(text[to]) && IsHighSurrogate(text[to - 1])) ++to;
    const std::u16string ellipsis = Utf16FromCp1251Text("…");
    return (from > 0 ? ellipsis : u"") + text.substr(from, to - from) + (to < text.size() ? ellipsis : u"");
}

// The character as it shows, a half of a pair as the replacement character.
std::u16string Shown(const std::u16string& text, std::size_t at) {
    if (CharacterUnits(text, at) == 2) return text.substr(at, 2);
    if (IsHighSurrogate(text[at]) || IsLowSurrogate(text[at])) return u"\uFFFD";
    return text.substr(at, 1);
}

std::string CodeOf(char32_t codePoint) {
    char code[16];
    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(codePoint));
    return code;
}

bool IsBlank(char16_t unit) { return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n'; }

// The refusal of a list whose character at `at` 1251 cannot carry: its line, trimmed as the list
// reads it, and the line's number counted from 1 at each LF.
std::u16string ListLineMessage(const std::string& listName, const std::u16string& text, std::size_t at) {
    const std::size_t lineFeed = at == 0 ? std::u16string::npos : text.rfind(u'\n', at - 1);
    std::size_t begin = lineFeed == std::u16string::npos ? 0 : lineFeed + 1;
    std::size_t end = std::min(text.find(u'\n', at), text.size());
    const long long number = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(begin), u'\n') + 1;
    // Blanks are 1251, so the character is never trimmed away.
    while (begin < at && IsBlank(text[begin])) ++begin;
    while (end > at + 1 && IsBlank(text[end - 1])) --end;
    return OutsideCp1251Message("Строка " + std::to_string(number) + " " + listName, text.substr(begin, end - begin),
                                at - begin);
}
}  // namespace

std::u16string OutsideCp1251Message(const std::string& where, const std::u16string& text, std::size_t at) {
    return Utf16FromCp1251Text(where + " («") + Quoted(text, at) + Utf16FromCp1251Text("»): символ «") +
           Shown(text, at) + Utf16FromCp1251Text("» (U+" + CodeOf(CodePointAt(text, at)) + kCannotBeTyped);
}

TypedFields ConvertTypedFields(const std::vector<TypedField>& fields, const Cp1251Converter& convert) {
    TypedFields result;
    for (const TypedField& field : fields) {
        if (field.text.empty()) {
            result.cp1251.emplace_back();
            continue;
        }
        Cp1251Conversion converted = convert(field.text);
        if (!converted.Exact()) {
            // A converter that cannot place its refusal inside the text names the first character.
            const std::size_t at = std::min(converted.outside, field.text.size() - 1);
            result.cp1251.clear();
            result.refusal = field.list ? ListLineMessage(field.name, field.text, at)
                                        : OutsideCp1251Message(field.name, field.text, at);
            return result;
        }
        result.cp1251.push_back(std::move(converted.text));
    }
    return result;
}
