// Merge table generation at 1,000,000 items (plain, transposed, barcode form), measured against the
// shell pipeline `seq -w 0000001 1000000 | paste -d, - - - - -` run in the same process. Each
// generator reports "x_baseline": how many times faster than the pipeline it is.
#include "tables/merge_table.h"
#include "tables/passwords.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {
constexpr const char* kBaselineCommand = "seq -w 0000001 1000000 | paste -d, - - - - - > /dev/null";
double baselineSeconds = 0;

void Baseline(benchmark::State& state) {
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        if (std::system(kBaselineCommand) != 0) state.SkipWithError("the baseline pipeline failed");
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        state.SetIterationTime(took.count());
        baselineSeconds = baselineSeconds == 0 ? took.count() : std::min(baselineSeconds, took.count());
    }
}
BENCHMARK(Baseline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

template <typename Body>
void Measure(benchmark::State& state, Body body) {
    double best = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        bytes = body();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        best = best == 0 ? took.count() : std::min(best, took.count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes * state.iterations()));
    if (baselineSeconds > 0 && best > 0) state.counters["x_baseline"] = baselineSeconds / best;
}

MergeTableRequest MillionItems(bool transpose, bool barcode) {
    MergeTableRequest request;
    request.startText = "0000001";
    request.countText = "1000000";
    request.columns = 5;
    request.useTranspose = transpose;
    request.useForBarcode = barcode;
    return request;
}

void Table(benchmark::State& state, bool transpose, bool barcode) {
    const MergeTableRequest request = MillionItems(transpose, barcode);
    Measure(state, [&] {
        TableResult result = BuildMergeTable(request);
        benchmark::DoNotOptimize(result.text.data());
        return result.text.size();
    });
}
BENCHMARK_CAPTURE(Table, plain, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Table, transposed, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Table, barcode, false, true)->Unit(benchmark::kMillisecond);

// Items from a list of a million lines, transposed: the path that splits and strips every item.
void ListTransposed(benchmark::State& state) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 1000000; ++i) lines.push_back("item " + std::to_string(i));
    MergeTableRequest request = MillionItems(true, false);
    request.useList1 = true;
    request.list1 = &lines;
    Measure(state, [&] {
        TableResult result = BuildMergeTable(request);
        benchmark::DoNotOptimize(result.text.data());
        return result.text.size();
    });
}
BENCHMARK(ListTransposed)->Unit(benchmark::kMillisecond);

void Passwords(benchmark::State& state) {
    std::mt19937 engine(1);
    RandomIndexPicker picker([&](unsigned char* bytes, size_t size) {
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(engine() >> 24);
        return true;
    });
    PasswordTableRequest request;
    request.countText = "1000000";
    Measure(state, [&] {
        PasswordTableResult result = BuildPasswordTable(request, picker);
        benchmark::DoNotOptimize(result.text.data());
        return result.text.size();
    });
}
BENCHMARK(Passwords)->Unit(benchmark::kMillisecond);
}  // namespace
