// Number and list reading shared by the fields, the settings files and the lists.
#include "platform/text_parse.h"

#include <limits>

namespace {
constexpr std::string_view kBlanks = " \t\r\n";

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int ClampToInt32(std::int64_t value) {
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}
}  // namespace

LeadingInteger ReadLeadingInteger(std::string_view text, std::size_t from) {
    LeadingInteger result;
    std::size_t i = from;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr std::uint64_t kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const std::uint64_t limit = negative ? kMax + 1 : kMax;
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        result.hasDigits = true;
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (!result.overflow && magnitude > (limit - digit) / 10) result.overflow = true;
        if (!result.overflow) magnitude = magnitude * 10 + digit;
    }
    result.end = i;
    if (result.overflow) magnitude = limit;
    if (!negative)
        result.value = static_cast<std::int64_t>(magnitude);
    else
        result.value = magnitude == kMax + 1 ? std::numeric_limits<std::int64_t>::min()
                                             : -static_cast<std::int64_t>(magnitude);
    return result;
}

std::int64_t ParseLeadingInteger(std::string_view text) { return ReadLeadingInteger(text).value; }

int ParseLeadingInt32(std::string_view text) { return ClampToInt32(ParseLeadingInteger(text)); }

NextInt ReadNextInt(std::string_view text, std::size_t& at) {
    NextInt result;
    while (at < text.size() && IsSpace(text[at])) ++at;
    if (at >= text.size()) {
        result.atEnd = true;
        return result;
    }
    const LeadingInteger number = ReadLeadingInteger(text, at);
    at = number.end;
    result.value = ClampToInt32(number.value);
    result.read = number.hasDigits && !number.overflow && result.value == number.value;
    return result;
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string TrimBlanks(const std::string& text) { return std::string(TrimBlanks(std::string_view(text))); }

bool IsDigitsOnly(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::vector<std::string> SplitListLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = TrimBlanks(text.substr(start, end - start));
        if (!line.empty()) lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}
