// Text typed into this program's own fields, on its way into the core: the window holds UTF-16, the
// core and everything the program types out hold code page 1251. A character 1251 has no place for
// is refused with a message that names the field, the line and the character; it is never changed
// into a look-alike or a '?'.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// A text in code page 1251 without look-alikes, and whether every character of it had its own place.
struct Cp1251Conversion {
    static constexpr std::size_t kExact = std::u16string::npos;
    std::string text;              // when not exact, each character 1251 has no place for is a '?'
    std::size_t outside = kExact;  // UTF-16 index of the first such character (of a surrogate pair, its first half)
    bool Exact() const { return outside == kExact; }
};
// The conversion of one text: the shell binds the system's (Cp1251FromUtf16Exact), tests a table.
using Cp1251Converter = std::function<Cp1251Conversion(const std::u16string&)>;

// A field of a window as its control holds it.
struct TypedField {
    std::string name;      // code page 1251, as the window labels it: "Префикс"; for a list "списка 1"
    std::u16string text;
    bool list = false;     // refused by its line: "Строка 2 списка 1" (lines counted at LF, blank ones too)
};

// Every field in code page 1251, in the order given, or the refusal of the first field that holds a
// character 1251 cannot carry; of a list, the first such line; of the line or field, the first such
// character, a surrogate pair (an emoji) named whole.
struct TypedFields {
    std::vector<std::string> cp1251;  // one per field, when every one converted
    std::u16string refusal;           // otherwise the message, in UTF-16 so that it can show the character
};
TypedFields ConvertTypedFields(const std::vector<TypedField>& fields, const Cp1251Converter& convert);

// The message of that refusal: `where` ("Префикс", "Строка 2 списка") in code page 1251, the text it
// quotes (a field, a list's line) and the index of the character in that text.
std::u16string OutsideCp1251Message(const std::string& where, const std::u16string& text, std::size_t at);
