// Random passwords from chosen character sets, and the password table text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Fills `size` bytes with uniformly random bytes; false when the source failed. The program binds it
// to the system's cryptographic generator; tests bind it to deterministic sequences.
using RandomSource = std::function<bool(unsigned char* bytes, std::size_t size)>;

// Picks uniformly random indexes below a bound (at most 256) from a random source, without the bias
// that "byte modulo bound" would have: bytes at or above the largest multiple of the bound are drawn
// again. Bytes are fetched in blocks so a long table costs few calls to the source.
struct RandomIndexPicker {
    explicit RandomIndexPicker(RandomSource source) : source(std::move(source)) {}
    // An index in [0, bound); false when the source failed.
    bool Next(unsigned bound, unsigned& index);

    RandomSource source;
    unsigned char block[4096];
    std::size_t used = sizeof block;
};

// Check boxes of the password group, in the order their sets are joined into the pool.
struct PasswordCharsets {
    bool useUpperLatin = false, useLowerLatin = false, useUpperCyrillic = false, useLowerCyrillic = false,
         useDigits = false, useSpecial = false;
};

// The ticked sets joined in their fixed order; the digits when none is ticked. Code page 1251 bytes.
std::string PasswordPool(const PasswordCharsets& sets);

struct PasswordTableRequest {
    PasswordCharsets sets;
    int length = 8;            // 1 to 20
    std::string countText;     // read like atoi
    bool singleColumn = false;
    std::string prefix;
    int columns = 5;           // ignored with singleColumn
};

struct PasswordTableResult {
    std::string text;
    std::string error;  // shown with the caption "Ошибка" when there is no text
};

constexpr const char* kBadPasswordCountMessage = "Укажите корректное количество паролей!";
constexpr const char* kRandomFailureMessage = "Не удалось получить случайные числа от системы! Пароли не созданы.";
std::string TooManyPasswordsMessage();

// A million passwords of the default kind are as large as a million-item merge table (see
// kMaxTableItems); the text is bound by kMaxTableBytes as well.
constexpr std::int64_t kMaxPasswords = 1000000;

PasswordTableResult BuildPasswordTable(const PasswordTableRequest& request, RandomIndexPicker& picker);
