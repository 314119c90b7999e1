// The plan of a run: validation of the inputs, the running numbers and the values.
#include "automation/run/run_plan.h"

#include "platform/text_parse.h"

#include <algorithm>
#include <climits>
#include <cstdio>

const char* const kEmptyListMessage = "Список переменных пуст!";
const char* const kBadTotalMessage = "Укажите корректное количество штрих-кодов!";
const char* const kStartTooLongMessage =
    "Поле \"Начать с:\" длиннее 19 символов: такой номер не помещается в счётчик.\nСократите его.";
const char* const kMissingPositionsMessage = "Не все координаты заданы!";

std::string FormatRunningNumber(long long number, const std::string& startText) {
    char text[32];
    if (startText.size() > 1 && startText[0] == '0')
        std::snprintf(text, sizeof text, "%0*lld", static_cast<int>(startText.size()), number);
    else
        std::snprintf(text, sizeof text, "%lld", number);
    return text;
}

RunPlan PlanRun(const RunInputs& inputs) {
    RunPlan plan;
    if (inputs.listMode) {
        plan.list = SplitListLines(inputs.listText);
        if (plan.list.empty()) {
            plan.refusal = kEmptyListMessage;
            return plan;
        }
        plan.total = static_cast<long long>(plan.list.size());
    } else {
        plan.total = ParseLeadingInteger(inputs.totalText);
        if (plan.total <= 0) {
            plan.refusal = kBadTotalMessage;
            return plan;
        }
        // A letter or a blank inside would make every value another number than the label shows.
        plan.startText = TrimBlanks(inputs.startText);
        if (!IsDigitsOnly(plan.startText)) {
            plan.refusal = kStartNotDigitsMessage;
            return plan;
        }
        // A longer start would have to be cut, and a cut start counts from another number.
        if (plan.startText.size() > kMaxStartChars) {
            plan.refusal = kStartTooLongMessage;
            return plan;
        }
        plan.firstNumber = ParseLeadingInteger(plan.startText);
        // The last number must still fit: the run ends at the largest 64-bit number.
        if (plan.firstNumber > 0 && plan.total - 1 > LLONG_MAX - plan.firstNumber)
            plan.total = LLONG_MAX - plan.firstNumber + 1;
    }
    bool allSet = !inputs.positions.empty();
    for (const Position& p : inputs.positions)
        if (p.x == 0 && p.y == 0) allSet = false;
    if (!allSet) plan.refusal = kMissingPositionsMessage;
    return plan;
}

std::string RunValue(const RunInputs& inputs, const RunPlan& plan, long long index) {
    if (inputs.listMode) return inputs.prefix + plan.list[static_cast<size_t>(index)];
    return inputs.prefix + FormatRunningNumber(plan.firstNumber + index, plan.startText);
}

bool SameRunInputs(const RunInputs& a, const RunInputs& b) {
    // A point on a recorded window is the same point where it lies on the same window: the window
    // may have moved since, and the positions with it.
    const auto samePoint = [](const Position& p, const Position& q) {
        const CapturedWindow &v = p.window, &w = q.window;
        if (!v.Recorded() || !w.Recorded()) return v.Recorded() == w.Recorded() && p.x == q.x && p.y == q.y;
        return v.SameKind(w) && v.area.width == w.area.width && v.area.height == w.area.height &&
               static_cast<long long>(p.x) - v.area.left == static_cast<long long>(q.x) - w.area.left &&
               static_cast<long long>(p.y) - v.area.top == static_cast<long long>(q.y) - w.area.top;
    };
    return a.prefix == b.prefix && a.startText == b.startText && a.totalText == b.totalText &&
           a.perPage == b.perPage && a.listMode == b.listMode && a.listText == b.listText &&
           a.excelMode == b.excelMode &&
           std::equal(a.positions.begin(), a.positions.end(), b.positions.begin(), b.positions.end(), samePoint);
}

BarcodePlace PlaceOf(const RunInputs& inputs, long long index) {
    const long long perPage = inputs.perPage > 0 ? inputs.perPage : 1;
    const std::size_t count = inputs.positions.empty() ? 1 : inputs.positions.size();
    return {index / perPage, static_cast<std::size_t>(index % perPage) % count};
}
