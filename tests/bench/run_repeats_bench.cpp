// The check at "СТАРТ" for values entered before, on a year's history: 100,000 journal rows (the
// journal and its rotated file, as many runs wrote them) read from disk and matched against a plan
// of 2,000 values, in number mode and in list mode. It must not make "СТАРТ" noticeably slower: the
// goal is under 150 ms a check.
#include "automation/run/run_journal.h"
#include "automation/run/run_repeats.h"
#include "platform/file_io.h"

#include "../fakes/temp_folder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {
constexpr int kRows = 100000;
constexpr int kRowsPerRun = 500;
constexpr long long kPlanned = 2000;

// 200 runs of 500 values each: prefixes of four products, numbers counting on across the year, a
// start row per run, some values not checked and some stops; the newest 40 % in the journal, the
// rest in its rotated file. The plans below ask for values the P- (Q-) runs took, so that nearly every
// one of them is found: the worst case, a run entered once already.
struct History {
    TempFolder folder{"repeats_bench"};
    History() {
        std::string old = kJournalHeader, current = kJournalHeader;
        const char* const prefixes[] = {"P-", "Q-", "LBL", "Z9-"};
        long long next[4] = {1, 1, 1, 1};
        for (int row = 0; row < kRows; ++row) {
            const int run = row / kRowsPerRun;
            const int product = run % 4;
            std::string& into = row < kRows * 6 / 10 ? old : current;
            char time[32];
            std::snprintf(time, sizeof time, "2026-%02d-%02d %02d:%02d:%02d.%03d", 1 + run % 12, 1 + run % 28,
                          row % 24, row % 60, row % 60, row % 1000);
            if (row % kRowsPerRun == 0)
                into += JournalLine({time, 0, 0, "", RunStartResult(kRowsPerRun, "x", "", false, false)});
            char value[32];
            std::snprintf(value, sizeof value, "%s%06lld", prefixes[product], next[product]++);
            const char* result = row % 97 == 0 ? "остановка: Esc или Pause" : row % 5 == 0 ? "не проверено" : "проверено";
            into += JournalLine({time, 1 + row % 10, 1 + row % 5, value, result});
        }
        WriteFileAtomically(Folder() + kJournalOldFileName, old);
        WriteFileAtomically(Folder() + kJournalFileName, current);
    }
    std::string Folder() const { return folder.path + "/"; }
};
const History& TheHistory() {
    static const History history;
    return history;
}

void Check(benchmark::State& state, const RunInputs& in) {
    const std::string folder = TheHistory().Folder();
    const RunPlan plan = PlanRun(in);
    size_t found = 0;
    for (auto _ : state) {
        const EarlierEntries earlier = FindEarlierEntries(folder, in, plan);
        found = earlier.indices.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["rows"] = kRows;
    state.counters["planned"] = static_cast<double>(plan.total);
    state.counters["found"] = static_cast<double>(found);
}

// P-010001 … P-012000, taken by P- runs but for the few where a run stopped.
void NumberPlan(benchmark::State& state) {
    RunInputs in;
    in.prefix = "P-";
    in.startText = "010001";
    in.totalText = std::to_string(kPlanned);
    in.positions = {{10, 10}};
    Check(state, in);
}
BENCHMARK(NumberPlan)->Unit(benchmark::kMillisecond);

// The same values as a list of 2,000 lines.
void ListPlan(benchmark::State& state) {
    RunInputs in;
    in.listMode = true;
    in.prefix = "Q-";
    for (long long n = 0; n < kPlanned; ++n) {
        char line[16];
        std::snprintf(line, sizeof line, "%06lld\r\n", 10001 + n);
        in.listText += line;
    }
    in.positions = {{10, 10}};
    Check(state, in);
}
BENCHMARK(ListPlan)->Unit(benchmark::kMillisecond);
}  // namespace
