// Fuzz target: numbers and lists as the user types them. The leading-number reader agrees with the C
// library's strtoll, trimming and line splitting keep exactly the non-blank text, and a run's plan
// and values hold whatever the fields say: the count is positive, the last number does not
// overflow, and every value reads back as its running number in the start's width.
#include "automation/run/run.h"
#include "platform/text_parse.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void CheckLeadingInteger(const std::string& text, size_t from) {
    const LeadingInteger read = ReadLeadingInteger(text, from);
    if (from > text.size()) {
        Check(!read.hasDigits && read.value == 0 && read.end == from);
        return;
    }
    const char* begin = text.c_str() + from;
    char* stop = nullptr;
    errno = 0;
    const long long expected = std::strtoll(begin, &stop, 10);
    const bool range = errno == ERANGE;
    Check(read.hasDigits == (stop != begin));
    Check(read.value == expected);
    Check(read.overflow == range);
    if (read.hasDigits) Check(read.end == static_cast<size_t>(stop - text.c_str()));
    Check(read.end >= from && read.end <= text.size());

    const std::int64_t whole = ParseLeadingInteger(text);
    const int narrow = ParseLeadingInt32(text);
    Check(narrow == (whole > INT_MAX ? INT_MAX : whole < INT_MIN ? INT_MIN : whole));
}

void CheckTrim(const std::string& text) {
    const std::string trimmed = TrimBlanks(text);
    Check(trimmed.empty() || (!IsBlank(trimmed.front()) && !IsBlank(trimmed.back())));
    if (trimmed.empty()) {
        for (char c : text) Check(IsBlank(c));
        return;
    }
    const size_t at = text.find(trimmed);
    Check(at != std::string::npos);
    for (size_t i = 0; i < at; ++i) Check(IsBlank(text[i]));
    for (size_t i = at + trimmed.size(); i < text.size(); ++i) Check(IsBlank(text[i]));
}

std::vector<std::string> ExpectedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            const std::string trimmed = TrimBlanks(line);
            if (!trimmed.empty()) lines.push_back(trimmed);
            line.clear();
        } else {
            line += text[i];
        }
    }
    return lines;
}

// A value of number mode: the prefix, then the running number, zero-filled to the start's width
// when the start has more than one character and begins with '0'.
void CheckNumberValue(const RunInputs& inputs, const std::string& start, const std::string& value, long long number) {
    Check(value.compare(0, inputs.prefix.size(), inputs.prefix) == 0);
    const std::string digits = value.substr(inputs.prefix.size());
    Check(digits == FormatRunningNumber(number, start));
    Check(ParseLeadingInteger(digits) == number);
    const bool zeroFilled = start.size() > 1 && start[0] == '0';
    if (zeroFilled)
        Check(digits.size() >= start.size());
    else
        Check(digits == std::to_string(number));
}

void CheckPlan(const RunInputs& inputs, long long probe) {
    const RunPlan plan = PlanRun(inputs);
    if (inputs.listMode) {
        Check(plan.list == SplitListLines(inputs.listText));
        if (plan.list.empty()) {
            Check(plan.refusal == kEmptyListMessage);
            return;
        }
        Check(plan.total == static_cast<long long>(plan.list.size()));
    } else {
        const std::int64_t asked = ParseLeadingInteger(inputs.totalText);
        if (asked <= 0) {
            Check(plan.refusal == kBadTotalMessage);
            return;
        }
        // The start counts with the blanks at its ends taken off, and only when digits are left.
        const std::string start = TrimBlanks(inputs.startText);
        if (start.find_first_not_of("0123456789") != std::string::npos) {
            Check(plan.refusal == kStartNotDigitsMessage);
            return;
        }
        Check(plan.startText == start);
        Check(plan.firstNumber == ParseLeadingInteger(start));
        Check(plan.total >= 1 && plan.total <= asked);
        long long last = 0;
        Check(!__builtin_add_overflow(plan.firstNumber, plan.total - 1, &last));
        if (plan.total < asked) Check(last == LLONG_MAX);  // cut only where the numbers run out
    }
    bool allSet = !inputs.positions.empty();
    for (const Position& p : inputs.positions) allSet = allSet && (p.x != 0 || p.y != 0);
    Check(plan.refusal == (allSet ? "" : kMissingPositionsMessage));

    const long long indexes[] = {0, 1, plan.total - 1, plan.total - 2, probe % plan.total};
    for (long long index : indexes) {
        if (index < 0 || index >= plan.total) continue;
        const std::string value = RunValue(inputs, plan, index);
        if (inputs.listMode)
            Check(value == inputs.prefix + plan.list[static_cast<size_t>(index)]);
        else
            CheckNumberValue(inputs, plan.startText, value, plan.firstNumber + index);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    RunInputs inputs;
    inputs.prefix = input.ConsumeRandomLengthString(16);
    inputs.startText = input.ConsumeRandomLengthString(19);  // the field holds at most 19 characters
    inputs.totalText = input.ConsumeRandomLengthString(24);
    inputs.listMode = input.ConsumeBool();
    inputs.perPage = input.ConsumeIntegralInRange(1, 20);
    const int positions = input.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < positions; ++i)
        inputs.positions.push_back({input.ConsumeIntegralInRange(-2, 2), input.ConsumeIntegralInRange(-2, 2)});
    const long long probe = input.ConsumeIntegral<long long>() & LLONG_MAX;
    const size_t from = input.ConsumeIntegralInRange<size_t>(0, 40);
    inputs.listText = input.ConsumeRemainingBytesAsString();

    for (const std::string* text : {&inputs.startText, &inputs.totalText, &inputs.listText}) {
        CheckLeadingInteger(*text, from);
        CheckTrim(*text);
    }
    Check(SplitListLines(inputs.listText) == ExpectedLines(inputs.listText));
    CheckPlan(inputs, probe);
    return 0;
}
