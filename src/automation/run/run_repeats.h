// No value twice without the user saying so: the values of a new run that the journals of its folder
// record as entered already (asked about at "СТАРТ", before any input), the lines of a list that
// repeat (refused), and where a run without repeats would start after a complete one.
#pragma once
#include "automation/run/run_plan.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Which barcodes of a plan have a given value, without listing the plan (a run may count to the
// largest 64-bit number): number mode reads the number out of the value, list mode looks it up.
class PlannedValues {
public:
    // Both must outlive this.
    PlannedValues(const RunInputs& inputs, const RunPlan& plan);
    // Appends the index (0-based) of every barcode of the plan whose value is `value`.
    void IndicesOf(std::string_view value, std::vector<long long>& out) const;

private:
    const RunInputs& inputs_;
    const RunPlan& plan_;
    std::unordered_multimap<std::string_view, long long> lines_;  // list mode: a line to its indices
};

// What the journals say of a plan's values.
struct EarlierEntries {
    std::vector<long long> indices;  // barcodes of the plan whose value a journal records as taken, in order
    std::string lastTime;            // the latest row of those, as written ("YYYY-MM-DD HH:MM:SS.mmm")
    std::vector<std::string> unread; // journals not read whole: "name — why"
};
// The rows a journal records as taken ("проверено", "не проверено") matched against the plan.
class EarlierEntriesFinder {
public:
    explicit EarlierEntriesFinder(const PlannedValues& planned) : planned_(planned) {}
    void Row(std::string_view time, std::string_view value, std::string_view result);
    // Sorts and removes the repeats of the indices found; call once, after the last row.
    EarlierEntries Done(std::vector<std::string> unread);

private:
    const PlannedValues& planned_;
    EarlierEntries found_;
};
// Every journal of `folder` (empty, or ending with a separator) read and matched.
EarlierEntries FindEarlierEntries(const std::string& folder, const RunInputs& inputs, const RunPlan& plan);

// The barcodes at `indices` (sorted, no repeats) as few ranges: consecutive ones as "A … B", at most
// `maxRanges` of them, then "и ещё N" for the values left. `valueOf` gives a barcode's value;
// `lineOf`, when given, the line of the list it comes from (then named after each range).
std::string ValueRanges(const std::vector<long long>& indices, const std::function<std::string(long long)>& valueOf,
                        const std::function<long long(long long)>& lineOf = nullptr, std::size_t maxRanges = 3);

// The lines of a list field (counted from 1 at each LF, blank ones too) of the list's entries, in order.
std::vector<long long> ListLineNumbers(const std::string& listText);

extern const char* const kRepeatCaption;
// «Значения этого прогона уже вводились: 10 из 2000 (P-0001 … P-0010), последний раз 08.12.2026
// 14:03. Ввести их ещё раз?», the journals not read, and what each answer does.
std::string RepeatQuestion(const RunInputs& inputs, const RunPlan& plan, const EarlierEntries& earlier);
// "08.12.2026 14:03" of a journal's time; the time as written when it is not one of ours.
std::string ShownJournalTime(const std::string& time);
// What the question and the journal say of journals not read: empty when all were.
std::string UnreadJournalsText(const std::vector<std::string>& unread);
// The start row's words for a run that enters `repeated` values again: "повтор: 10 значений".
std::string RepeatStartNote(long long repeated);

// Lines of a list the same after the run's trimming: «Строки 5 и 17 списка одинаковы: «…»» and what
// to do; empty when every line differs.
std::string ListRepeatRefusal(const std::string& listText);

// After a complete run: «Следующий прогон без повтора: Начать с: 0011», or for a list what comes
// next; empty when nothing can follow (the counter's end).
std::string NextRunWithoutRepeat(const RunInputs& inputs, const RunPlan& plan);
