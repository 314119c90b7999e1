// Reading numbers and lists out of what the user typed or a file holds: one set of rules for the
// whole program.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The leading decimal number of a text as atoi finds it: blanks, an optional sign, digits.
struct LeadingInteger {
    std::int64_t value = 0;   // saturated at the 64-bit bounds when `overflow`
    std::size_t end = 0;      // index just past the last digit read (or past the blanks and sign)
    bool hasDigits = false;
    bool overflow = false;    // the digits go beyond the 64-bit range
};
LeadingInteger ReadLeadingInteger(std::string_view text, std::size_t from = 0);

// The next number of a text of integers separated by white space, read as extracting an int from a
// C++ stream reads it: white space skipped, an optional sign, decimal digits, up to the first other
// character. `at` moves past what was read; the files of earlier versions were read this way.
struct NextInt {
    bool atEnd = false;  // only white space was left: no number
    bool read = false;   // digits within the int range
    int value = 0;       // 0 without digits, the nearest bound when out of range
};
NextInt ReadNextInt(std::string_view text, std::size_t& at);

// The leading number in 64 bits; out-of-range digits give the nearest bound, no digits give 0.
std::int64_t ParseLeadingInteger(std::string_view text);
// The same, clamped to the 32-bit range.
int ParseLeadingInt32(std::string_view text);

// Removes blanks, tabs, CR and LF from both ends.
std::string_view TrimBlanks(std::string_view text);
std::string TrimBlanks(const std::string& text);

// The start number fields («Начать с:» of the main and the merge window) hold digits only once the
// blanks at their ends are trimmed; an empty field is allowed (it counts from its default).
bool IsDigitsOnly(std::string_view text);  // true for the empty text
constexpr const char* kStartNotDigitsMessage =
    "В поле «Начать с:» должны быть только цифры, например 0001. Префикс вводится в поле «Префикс:».";

// The lines of a text (split at LF), each trimmed as TrimBlanks does, the empty ones left out.
std::vector<std::string> SplitListLines(std::string_view text);
