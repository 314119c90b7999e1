// Password generation: the character pool, unbiased random choice and the password table.
#include "tables/passwords.h"

#include "tables/merge_table.h"
#include "platform/text_parse.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr const char* kUpperLatin = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr const char* kLowerLatin = "abcdefghijklmnopqrstuvwxyz";
constexpr const char* kUpperCyrillic = "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ";
constexpr const char* kLowerCyrillic = "абвгдеёжзийклмнопрстуфхцчшщъыьэюя";
constexpr const char* kDigits = "0123456789";
constexpr const char* kSpecial = "!@#$%&*?+-=_";

void AppendHeaderName(std::string& out, int number) {
    char name[16];
    const int length = std::snprintf(name, sizeof name, "P%03d", number);
    out.append(name, static_cast<size_t>(length));
}
}  // namespace

bool RandomIndexPicker::Next(unsigned bound, unsigned& index) {
    if (bound == 0 || bound > 256) return false;
    const unsigned accepted = 256 - 256 % bound;  // bytes below this map evenly onto [0, bound)
    for (;;) {
        if (used == sizeof block) {
            if (!source || !source(block, sizeof block)) return false;
            used = 0;
        }
        const unsigned byte = block[used++];
        if (byte < accepted) {
            index = byte % bound;
            return true;
        }
    }
}

std::string PasswordPool(const PasswordCharsets& sets) {
    std::string pool;
    if (sets.useUpperLatin) pool += kUpperLatin;
    if (sets.useLowerLatin) pool += kLowerLatin;
    if (sets.useUpperCyrillic) pool += kUpperCyrillic;
    if (sets.useLowerCyrillic) pool += kLowerCyrillic;
    if (sets.useDigits) pool += kDigits;
    if (sets.useSpecial) pool += kSpecial;
    return pool.empty() ? std::string(kDigits) : pool;
}

namespace {
bool AppendPassword(const std::string& pool, int length, RandomIndexPicker& picker, std::string& out) {
    for (int i = 0; i < length; ++i) {
        unsigned index = 0;
        if (!picker.Next(static_cast<unsigned>(pool.size()), index)) return false;
        out += pool[index];
    }
    return true;
}
}  // namespace

std::string TooManyPasswordsMessage() {
    return "Слишком много паролей! Можно не более " + std::to_string(kMaxPasswords) + " за один раз.";
}

PasswordTableResult BuildPasswordTable(const PasswordTableRequest& request, RandomIndexPicker& picker) {
    const std::int64_t count = ParseLeadingInteger(request.countText);
    if (count < 1) return {{}, kBadPasswordCountMessage};
    if (count > kMaxPasswords) return {{}, TooManyPasswordsMessage()};
    const int columns = request.singleColumn ? 1 : std::max(request.columns, 1);
    const int length = std::clamp(request.length, 1, 20);
    const std::string pool = PasswordPool(request.sets);
    const size_t bytes = static_cast<size_t>(count) * (request.prefix.size() + static_cast<size_t>(length) + 1);
    if (bytes > kMaxTableBytes) return {{}, TableTooLargeMessage()};

    std::string text;
    text.reserve(bytes + static_cast<size_t>(count) + static_cast<size_t>(columns) * 5 + 2);
    if (!request.singleColumn) {
        for (int i = 1; i <= columns; ++i) {
            if (i > 1) text += ',';
            AppendHeaderName(text, i);
        }
        text += "\r\n";
    }
    for (std::int64_t generated = 0; generated < count;) {
        for (int col = 0; col < columns && generated < count; ++col, ++generated) {
            if (col > 0) text += ',';
            text += request.prefix;
            if (!AppendPassword(pool, length, picker, text)) return {{}, kRandomFailureMessage};
        }
        text += "\r\n";
    }
    return {std::move(text), {}};
}
