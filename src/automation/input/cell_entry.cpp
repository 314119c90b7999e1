// The text mark of spreadsheet mode: which values a General cell would change, and the entry typed.
#include "automation/input/cell_entry.h"

#include "platform/cp1251_utf16.h"

#include <cstring>

namespace {
// Latin letters and the Cyrillic letters of code page 1251 (Ё, Ґ, Ї, ... included).
bool IsLetter(unsigned char c) {
    const char16_t unit = Utf16FromCp1251(c);
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') || (unit >= 0x0400 && unit <= 0x04FF);
}

// Small letters for the comparisons below: Latin, the Russian alphabet and Ё.
std::string Lower(const std::string& text) {
    std::string out = text;
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) ch = static_cast<char>(c + 0x20);
        if (c == 0xA8) ch = static_cast<char>(0xB8);
    }
    return out;
}

// The words a spreadsheet takes for TRUE and FALSE: its own language's and English.
const char* const kBooleanWords[] = {"истина", "ложь", "true", "false"};

// The months as a date may name them: Russian in both cases a date uses, and English.
const char* const kMonthNames[] = {
    "январь",  "января",  "февраль", "февраля", "март",    "марта",    "апрель",   "апреля",
    "май",     "мая",     "июнь",    "июня",    "июль",    "июля",     "август",   "августа",
    "сентябрь", "сентября", "октябрь", "октября", "ноябрь", "ноября", "декабрь", "декабря",
    "january", "february", "march",   "april",   "may",     "june",     "july",     "august",
    "september", "october", "november", "december"};

// The shortest start of a month's name a date is written with: "янв", "Mar", "май".
constexpr std::size_t kShortestMonth = 3;

bool IsBooleanWord(const std::string& value) {
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    const std::string word = Lower(value.substr(first, value.find_last_not_of(" \t") - first + 1));
    for (const char* boolean : kBooleanWords)
        if (word == boolean) return true;
    return false;
}

// The value's leading letters are a month's name or its start, and no letter follows them: "янв-21",
// "Mar 5", "Май".
bool StartsWithMonth(const std::string& value) {
    std::size_t letters = 0;
    while (letters < value.size() && IsLetter(static_cast<unsigned char>(value[letters]))) ++letters;
    if (letters < kShortestMonth) return false;
    const std::string word = Lower(value.substr(0, letters));
    for (const char* month : kMonthNames)
        if (word.size() <= std::strlen(month) && std::strncmp(month, word.c_str(), word.size()) == 0) return true;
    return false;
}
}  // namespace

bool NeedsTextMark(const std::string& value) {
    if (value.empty()) return false;
    if (!IsLetter(static_cast<unsigned char>(value[0]))) return true;
    return IsBooleanWord(value) || StartsWithMonth(value);
}

std::string CellEntry(const std::string& value) { return NeedsTextMark(value) ? "'" + value : value; }
