// Values entered before, lines of a list that repeat, and the start of the next run without repeats.
#include "automation/run/run_repeats.h"

#include "automation/run/run_journal.h"
#include "automation/run/run_journal_read.h"
#include "automation/run/run_record.h"
#include "platform/text_parse.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {
constexpr std::size_t kMaxDigits = 19;  // the longest start text, and so the longest number a run writes

// The plan's number written as `digits`, when the start text writes that number so: zero-filled to
// its width (a number with more digits in full), or plain.
bool NumberOf(std::string_view digits, const std::string& startText, long long& number) {
    if (digits.empty() || digits.size() > kMaxDigits || !IsDigitsOnly(digits)) return false;
    const bool zeroFilled = startText.size() > 1 && startText[0] == '0';
    const std::size_t width = zeroFilled ? startText.size() : 1;
    if (digits.size() < width || (digits.size() > width && digits[0] == '0')) return false;
    unsigned long long n = 0;
    for (char c : digits) n = n * 10 + static_cast<unsigned>(c - '0');  // 19 digits fit
    if (n > static_cast<unsigned long long>(LLONG_MAX)) return false;
    number = static_cast<long long>(n);
    return true;
}

// "YYYY-MM-DD HH:MM…": the times this program writes, which sort as text.
bool IsJournalTime(std::string_view time) {
    if (time.size() < 16) return false;
    for (std::size_t i = 0; i < 16; ++i) {
        const char c = time[i];
        const bool ok = i == 4 || i == 7 ? c == '-' : i == 10 ? c == ' ' : i == 13 ? c == ':' : c >= '0' && c <= '9';
        if (!ok) return false;
    }
    return true;
}

std::string Quoted(std::string_view text) {
    constexpr std::size_t kShownChars = 60;
    if (text.size() <= kShownChars) return "«" + std::string(text) + "»";
    return "«" + std::string(text.substr(0, kShownChars)) + "…»";
}

// "5 и 17", "5, 17 и 20": at most `shown` numbers, then how many more.
std::string LineList(const std::vector<long long>& lines) {
    constexpr std::size_t kShown = 6;
    std::string text;
    const std::size_t named = lines.size() > kShown ? kShown : lines.size();
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0) text += i + 1 == named && named == lines.size() ? " и " : ", ";
        text += std::to_string(lines[i]);
    }
    if (named < lines.size()) text += " и ещё " + std::to_string(lines.size() - named);
    return text;
}
}  // namespace

// --- the plan's values -----------------------------------------------------------------------------

PlannedValues::PlannedValues(const RunInputs& inputs, const RunPlan& plan) : inputs_(inputs), plan_(plan) {
    if (!inputs.listMode) return;
    lines_.reserve(plan.list.size());
    for (std::size_t i = 0; i < plan.list.size(); ++i) lines_.emplace(plan.list[i], static_cast<long long>(i));
}

void PlannedValues::IndicesOf(std::string_view value, std::vector<long long>& out) const {
    const std::string& prefix = inputs_.prefix;
    if (value.size() < prefix.size() || value.compare(0, prefix.size(), prefix) != 0) return;
    value.remove_prefix(prefix.size());
    if (inputs_.listMode) {
        for (auto [at, end] = lines_.equal_range(value); at != end; ++at) out.push_back(at->second);
        return;
    }
    long long number = 0;
    if (!NumberOf(value, plan_.startText, number) || number < plan_.firstNumber) return;
    if (number - plan_.firstNumber < plan_.total) out.push_back(number - plan_.firstNumber);
}

// --- what the journals say -------------------------------------------------------------------------

void EarlierEntriesFinder::Row(std::string_view time, std::string_view value, std::string_view result) {
    if (result != CheckResult(BarcodeCheck::kVerified) && result != CheckResult(BarcodeCheck::kNotChecked)) return;
    const std::size_t before = found_.indices.size();
    planned_.IndicesOf(value, found_.indices);
    if (found_.indices.size() > before && IsJournalTime(time) && time > found_.lastTime) found_.lastTime = time;
}

EarlierEntries EarlierEntriesFinder::Done(std::vector<std::string> unread) {
    std::vector<long long>& indices = found_.indices;
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    found_.unread = std::move(unread);
    return std::move(found_);
}

EarlierEntries FindEarlierEntries(const std::string& folder, const RunInputs& inputs, const RunPlan& plan) {
    const PlannedValues planned(inputs, plan);
    EarlierEntriesFinder finder(planned);
    std::vector<std::string> unread =
        ReadJournals(folder, [&](const JournalRowRead& row) { finder.Row(row.time, row.value, row.result); });
    return finder.Done(std::move(unread));
}

// --- the question ----------------------------------------------------------------------------------

const char* const kRepeatCaption = "Повтор значений";

std::string ValueRanges(const std::vector<long long>& indices, const std::function<std::string(long long)>& valueOf,
                        const std::function<long long(long long)>& lineOf, std::size_t maxRanges) {
    std::string text;
    std::size_t at = 0, ranges = 0;
    while (at < indices.size() && ranges < maxRanges) {
        std::size_t last = at;
        while (last + 1 < indices.size() && indices[last + 1] == indices[last] + 1) ++last;
        if (ranges > 0) text += ", ";
        text += valueOf(indices[at]);
        if (last > at) text += " … " + valueOf(indices[last]);
        if (lineOf)
            text += last > at ? " (строки " + std::to_string(lineOf(indices[at])) + "–" +
                                    std::to_string(lineOf(indices[last])) + ")"
                              : " (строка " + std::to_string(lineOf(indices[at])) + ")";
        ++ranges;
        at = last + 1;
    }
    if (at < indices.size()) text += " и ещё " + std::to_string(indices.size() - at);
    return text;
}

std::vector<long long> ListLineNumbers(const std::string& listText) {
    std::vector<long long> numbers;
    const std::string_view text = listText;
    long long line = 1;
    for (std::size_t start = 0; start <= text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (!TrimBlanks(text.substr(start, end - start)).empty()) numbers.push_back(line);
        start = end + 1;
    }
    return numbers;
}

std::string ShownJournalTime(const std::string& time) {
    if (!IsJournalTime(time)) return time;
    return time.substr(8, 2) + "." + time.substr(5, 2) + "." + time.substr(0, 4) + " " + time.substr(11, 5);
}

std::string UnreadJournalsText(const std::vector<std::string>& unread) {
    if (unread.empty()) return {};
    std::string text = "Повторы проверены не по всем журналам: ";
    for (std::size_t i = 0; i < unread.size(); ++i) text += (i > 0 ? "; " : "") + unread[i];
    return text + ".";
}

std::string RepeatQuestion(const RunInputs& inputs, const RunPlan& plan, const EarlierEntries& earlier) {
    const auto valueOf = [&](long long index) { return RunValue(inputs, plan, index); };
    std::function<long long(long long)> lineOf;
    std::vector<long long> lines;
    if (inputs.listMode) {
        lines = ListLineNumbers(inputs.listText);
        lineOf = [&](long long index) { return lines[static_cast<std::size_t>(index)]; };
    }
    std::string text = "Значения этого прогона уже вводились: " + std::to_string(earlier.indices.size()) + " из " +
                       std::to_string(plan.total) + " (" + ValueRanges(earlier.indices, valueOf, lineOf) + ")";
    if (!earlier.lastTime.empty()) text += ", последний раз " + ShownJournalTime(earlier.lastTime);
    text += ". Ввести их ещё раз?";
    const std::string unread = UnreadJournalsText(earlier.unread);
    if (!unread.empty()) text += "\n\n" + unread;
    return text + "\n\nДа — ввести их ещё раз (например, перепечатать испорченные этикетки),\nНет — ничего не "
                  "вводить: поправьте " +
           (inputs.listMode ? "список" : "«Начать с:»") + " и нажмите СТАРТ снова.";
}

std::string RepeatStartNote(long long repeated) { return "повтор: " + ValuesCount(repeated); }

// --- a list that repeats ---------------------------------------------------------------------------

std::string ListRepeatRefusal(const std::string& listText) {
    struct Seen {
        long long firstLine = 0;
        long long count = 0;
    };
    std::unordered_map<std::string_view, Seen> seen;
    std::vector<std::pair<long long, std::string_view>> entries;
    const std::string_view text = listText;
    long long line = 1;
    for (std::size_t start = 0; start <= text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view entry = TrimBlanks(text.substr(start, end - start));
        if (!entry.empty()) {
            entries.emplace_back(line, entry);
            ++seen.try_emplace(entry, Seen{line, 0}).first->second.count;
        }
        start = end + 1;
    }
    // The repeated entry whose first line comes first is named; the others are counted.
    std::string_view named;
    long long namedLine = LLONG_MAX, others = -1;
    for (const auto& [entry, s] : seen) {
        if (s.count < 2) continue;
        ++others;
        if (s.firstLine < namedLine) namedLine = s.firstLine, named = entry;
    }
    if (others < 0) return {};
    std::vector<long long> lines;
    for (const auto& [at, entry] : entries)
        if (entry == named) lines.push_back(at);
    std::string message = "Строки " + LineList(lines) + " списка одинаковы: " + Quoted(named) + ".";
    if (others > 0) message += "\nПовторяются и другие строки: ещё " + ValuesCount(others) + ".";
    return message +
           "\n\nОдин код дважды — две одинаковые этикетки. Уберите лишние строки или, если повтор нужен, отметьте "
           "«Разрешить повторы в списке» в окне «Настройки задержек» (кнопка «Настройки, советы»).\nНичего не "
           "отправлено.";
}

// --- after a complete run --------------------------------------------------------------------------

std::string NextRunWithoutRepeat(const RunInputs& inputs, const RunPlan& plan) {
    const std::string lead = "Следующий прогон без повтора: ";
    if (inputs.listMode) {
        if (plan.list.empty()) return {};
        return lead + "с новой строки списка — все строки этого списка введены, последняя — " +
               Quoted(plan.list.back()) + ".";
    }
    if (plan.total <= 0 || plan.total > LLONG_MAX - plan.firstNumber) return {};  // the counter ends here
    return lead + "Начать с: " + FormatRunningNumber(plan.firstNumber + plan.total, plan.startText);
}
