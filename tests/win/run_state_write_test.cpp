// The continue point a run writes after every barcode, on this system's files: a hundred writes in a
// row leave the last point and no temporary behind. The time each write takes is printed as a figure
// to read, never a limit.
#include "automation/run/run_state.h"
#include "harness.h"
#include "platform/file_io.h"
#include "platform/text_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace harness;

namespace {
constexpr int kWrites = 100;

std::vector<std::wstring> FilesIn(const std::wstring& dir) {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(JoinPath(dir, L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return out;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(out.begin(), out.end());
    return out;
}

// Milliseconds each call of `write` took, `kWrites` calls with their index.
template <typename Write>
std::vector<double> Timed(Write write) {
    std::vector<double> ms;
    for (int i = 0; i < kWrites; ++i) {
        const auto began = std::chrono::steady_clock::now();
        write(i);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count());
    }
    return ms;
}

void Print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms) sum += m;
    std::printf("%s: mean %.3f ms, median %.3f ms, max %.3f ms over %zu writes\n", what, sum / ms.size(),
                ms[ms.size() / 2], ms.back(), ms.size());
}
}  // namespace

TEST(RunStateWrite, AHundredPointsInARowLeaveTheLastAndNoTemporary) {
    const std::wstring dir = MakeTempDir(L"state");
    const std::string folder = Utf8FromWide(dir) + "\\";
    RunInputs inputs;
    inputs.prefix = "R-";
    inputs.startText = "0001";
    inputs.totalText = "1000";
    inputs.perPage = 3;
    inputs.positions = {{100, 200}, {300, 200}, {500, 200}};
    RunStateFiles files(folder);
    files.Begin(inputs);
    Print("continue point (RunStateFiles::Keep)",
          Timed([&](int i) { files.Keep(ContinuePoint{i + 1, (i + 1) % 3 == 0, false}); }));

    const std::string bytes(150, 'x');
    bool allWritten = true;
    Print("150-byte file (WriteFileAtomically)",
          Timed([&](int) { allWritten = WriteFileAtomically(folder + "plain.cfg", bytes) && allWritten; }));
    EXPECT_TRUE(allWritten);

    EXPECT_EQ(FilesIn(dir), (std::vector<std::wstring>{L"barcode_run_inputs.cfg", L"barcode_run_state.cfg", L"plain.cfg"}));
    const std::optional<SavedRun> saved = RunStateFiles(folder).Load();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->point, (ContinuePoint{kWrites, false, false}));
    EXPECT_EQ(ReadFileBytes(JoinPath(dir, L"plain.cfg")), bytes);
}
