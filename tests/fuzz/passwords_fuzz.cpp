// Fuzz target: password tables from any fields, with random bytes drawn deterministically from the
// input and a source that may fail part way. A table has its header, one line per row ending in
// CR LF, and every password the asked length of pool characters after the prefix; a failed source
// gives no table at all.
#include "tables/merge_table.h"
#include "tables/passwords.h"
#include "platform/text_parse.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
constexpr std::int64_t kMaxFuzzPasswords = 3000;  // keeps one execution fast

void Check(bool condition) {
    if (!condition) std::abort();
}

// Bytes from a small generator seeded by the input; after `failAfter` calls (0: never) it fails.
struct FuzzSource {
    std::uint64_t state;
    unsigned failAfter;
    unsigned calls = 0;

    bool operator()(unsigned char* bytes, std::size_t size) {
        if (failAfter != 0 && ++calls >= failAfter) return false;
        for (std::size_t i = 0; i < size; ++i) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            bytes[i] = static_cast<unsigned char>(state >> 56);
        }
        return true;
    }
};

std::string Header(int columns) {
    std::string header;
    for (int i = 1; i <= columns; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%sP%03d", i > 1 ? "," : "", i);
        header += name;
    }
    return header + "\r\n";
}

void CheckTable(const PasswordTableRequest& request, const PasswordTableResult& result, bool mayFail) {
    const std::int64_t count = ParseLeadingInteger(request.countText);
    if (count < 1) {
        Check(result.text.empty() && result.error == kBadPasswordCountMessage);
        return;
    }
    if (count > kMaxPasswords) {
        Check(result.text.empty() && result.error == TooManyPasswordsMessage());
        return;
    }
    if (!result.error.empty()) {
        Check(mayFail && result.error == kRandomFailureMessage && result.text.empty());
        return;
    }
    const int columns = request.singleColumn ? 1 : std::max(request.columns, 1);
    const size_t length = static_cast<size_t>(std::clamp(request.length, 1, 20));
    const std::string pool = PasswordPool(request.sets);
    const std::string& text = result.text;
    size_t at = 0;
    if (!request.singleColumn) {
        const std::string header = Header(columns);
        Check(text.compare(0, header.size(), header) == 0);
        at = header.size();
    }
    for (std::int64_t item = 0; item < count; ++item) {
        const bool rowStart = item % columns == 0;
        if (!rowStart) Check(text.compare(at++, 1, ",") == 0);
        Check(text.compare(at, request.prefix.size(), request.prefix) == 0);
        at += request.prefix.size();
        Check(at + length <= text.size());
        for (size_t i = 0; i < length; ++i) Check(pool.find(text[at + i]) != std::string::npos);
        at += length;
        if ((item + 1) % columns == 0 || item + 1 == count) {
            Check(text.compare(at, 2, "\r\n") == 0);
            at += 2;
        }
    }
    Check(at == text.size());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    PasswordTableRequest request;
    PasswordCharsets& sets = request.sets;
    sets.useUpperLatin = input.ConsumeBool();
    sets.useLowerLatin = input.ConsumeBool();
    sets.useUpperCyrillic = input.ConsumeBool();
    sets.useLowerCyrillic = input.ConsumeBool();
    sets.useDigits = input.ConsumeBool();
    sets.useSpecial = input.ConsumeBool();
    request.length = input.ConsumeIntegralInRange(-3, 25);
    request.singleColumn = input.ConsumeBool();
    request.columns = input.ConsumeIntegralInRange(-1, 32);
    request.prefix = input.ConsumeRandomLengthString(24);
    FuzzSource source{input.ConsumeIntegral<std::uint64_t>() | 1, input.ConsumeIntegralInRange(0u, 4u)};
    const unsigned bound = input.ConsumeIntegralInRange(0u, 300u);
    request.countText = input.ConsumeRemainingBytesAsString();

    RandomIndexPicker probe(source);
    unsigned index = 1000;
    const bool picked = probe.Next(bound, index);
    if (bound == 0 || bound > 256) Check(!picked);
    if (picked) Check(index < bound);

    const std::int64_t count = ParseLeadingInteger(request.countText);
    if (count > kMaxFuzzPasswords && count <= kMaxPasswords) return 0;
    RandomIndexPicker picker(source);
    CheckTable(request, BuildPasswordTable(request, picker), source.failAfter != 0);
    return 0;
}
