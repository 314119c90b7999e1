// The program on a screen at 144 dpi (150 %), in a Wine world of this test's own: every control of
// the main, settings and merge windows sits at its 96-dpi box × 1.5, a run fills the stand-in
// designer exactly, and a coordinates file of an earlier version is scaled on load.
#include "app/main_window_ids.h"
#include "harness.h"
#include "platform/controls_win.h"
#include "run_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <string>
#include <thread>
#include <vector>

using namespace harness;

namespace {
constexpr double kScale = 1.5;  // 144 / 96
constexpr int kTolerance = 2;   // pixels either way

// Checks each child against its 96-dpi box × 1.5, that it lies inside the window's client area, and
// that no two of them overlap on the screen that did not overlap at 96 dpi; returns how many were
// checked.
int ExpectScaledControls(HWND window, const char* name) {
    int checked = 0;
    RECT client;
    GetClientRect(window, &client);
    std::vector<std::pair<LayoutBox, LayoutBox>> placed;  // 96-dpi box, rectangle on the screen
    for (HWND child : Children(window)) {
        SCOPED_TRACE(std::string(name) + ": " + ToUtf8(ClassOf(child) + L" \"" + TextOf(child) + L"\""));
        LayoutBox box;
        if (!LayoutBoxOf(child, box)) {
            ADD_FAILURE() << "a control without a 96-dpi box";
            continue;
        }
        const RECT r = RectInParent(child);
        EXPECT_NEAR(r.left, box.x * kScale, kTolerance);
        EXPECT_NEAR(r.top, box.y * kScale, kTolerance);
        EXPECT_NEAR(r.right - r.left, box.width * kScale, kTolerance);
        // A drop-down list reports its closed height, which its font decides.
        if (_wcsicmp(ClassOf(child).c_str(), L"ComboBox") != 0) {
            EXPECT_NEAR(r.bottom - r.top, box.height * kScale, kTolerance);
            EXPECT_LE(r.bottom, client.bottom);
        }
        EXPECT_LE(r.right, client.right);
        placed.push_back({box, {r.left, r.top, r.right - r.left, r.bottom - r.top}});
        ++checked;
    }
    for (size_t i = 0; i < placed.size(); ++i)
        for (size_t j = i + 1; j < placed.size(); ++j)
            if (BoxesOverlap(placed[i].second, placed[j].second) && !BoxesOverlap(placed[i].first, placed[j].first))
                ADD_FAILURE() << name << ": controls " << i << " and " << j << " overlap at 144 dpi only";
    return checked;
}

void ExpectOuterSize(HWND window, int width96, int height96) {
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_NEAR(r.right - r.left, width96 * kScale, kTolerance);
    EXPECT_NEAR(r.bottom - r.top, height96 * kScale, kTolerance);
}

// The X and Y fields of the position rows, found beside their "Захват" buttons in creation order.
std::vector<std::pair<std::wstring, std::wstring>> RowTexts(const App& app) {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    const std::vector<HWND> children = Children(app.window);
    for (size_t i = 2; i < children.size(); ++i)
        if (TextOf(children[i]) == L"Захват") rows.emplace_back(TextOf(children[i - 2]), TextOf(children[i - 1]));
    return rows;
}
}  // namespace

TEST(HighDpi, EveryControlIsItsNinetySixDpiBoxTimesOneAndAHalf) {
    App app;
    ASSERT_TRUE(StartApp(app));
    // Measured against the numbers of the layout itself, so a world that is not at 144 dpi fails here.
    const RECT start = RectInParent(ChildById(app.window, kStartButtonId));
    ASSERT_EQ(start.left, 15);
    ASSERT_EQ(start.top, 320);
    ASSERT_EQ(start.right - start.left, 555);

    int checked = ExpectScaledControls(app.window, "main");
    ExpectOuterSize(app.window, 405, 575);

    Click(ChildById(app.window, kSettingsButtonId));
    HWND settings = WaitForTopWindow(app.process.Id(), L"BarcodeSettings");
    ASSERT_TRUE(settings);
    checked += ExpectScaledControls(settings, "settings");
    ExpectOuterSize(settings, 336, 595);
    PostMessageW(settings, WM_CLOSE, 0, 0);

    Click(ChildById(app.window, kMergeButtonId));
    HWND merge = WaitForTopWindow(app.process.Id(), L"BarcodeMerge");
    ASSERT_TRUE(merge);
    checked += ExpectScaledControls(merge, "merge");
    ExpectOuterSize(merge, 375, 687);

    // main: 21 + 5 rows of 4 + banner and links; settings 30 and more; merge 31
    EXPECT_GE(checked, 44 + 30 + 31);
    std::printf("high-dpi: %d controls at their 96-dpi boxes x 1.5\n", checked);
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(HighDpi, ARunFillsTheDesignerAndAnEarlierFileIsScaledOnLoad) {
    App app;
    Fixture designer;
    const std::wstring dir = MakeTempDir(L"high-dpi");
    WriteDelays(dir, kQuickDelays);
    ASSERT_TRUE(StartApp(app, dir));
    ASSERT_TRUE(StartFixture(designer, L"fake_designer", L"FakeDesigner", dir, L"3"));
    ParkMainWindow(app);
    // beside the main window, which is half again as wide as at 96 dpi
    SetWindowPos(designer.window, nullptr, 610, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<POINT> points;
    for (HWND object : designer.ChildrenOfClass(L"FakeBarcodeObject")) points.push_back(CenterOf(object));
    ASSERT_EQ(points.size(), 3u);
    ASSERT_TRUE(CapturePoints(app, designer.window, points));  // the rows show exactly those pixels

    SetTextOf(PrefixEdit(app), L"AB");
    SetTextOf(StartNumberEdit(app), L"0001");
    SetTextOf(TotalEdit(app), L"5");
    Click(StartButton(app));
    MessageBoxInfo done = WaitForMessageBox(app.process.Id(), std::chrono::seconds(30));
    ASSERT_TRUE(done.window);
    EXPECT_EQ(done.text, FinishedText(5, NextStartLine(L"0006")));
    AnswerMessageBox(done.window);
    std::this_thread::sleep_for(milliseconds(300));
    std::vector<std::string> landed;
    for (const FixtureEvent& e : EventsOf(designer.Log(), "value"))
        landed.push_back(e.fields.at(1) + "/" + e.fields.at(2) + "=" + (e.fields.size() > 3 ? e.fields[3] : ""));
    EXPECT_EQ(landed, (std::vector<std::string>{"1/1=AB0001", "1/2=AB0002", "1/3=AB0003", "2/1=AB0004", "2/2=AB0005"}));

    // Saved marked; a file of an earlier version (no marker) had its points scaled down by the system.
    const std::wstring saved = JoinPath(dir, L"saved.txt"), earlier = JoinPath(dir, L"earlier.txt");
    Click(ChildById(app.window, kSaveCoordsButtonId));
    ASSERT_TRUE(CompleteFileDialog(app.process.Id(), saved));
    std::string expected;
    for (const POINT& p : points) expected += std::to_string(p.x) + "," + std::to_string(p.y) + " px\r\n";
    // (each point followed by the window it was captured on, which this test leaves to the capture tests)
    const auto savedPoints = [&] { return std::regex_replace(ReadFileBytes(saved), std::regex(" window=[^\r]*"), ""); };
    EXPECT_TRUE(WaitUntil([&] { return savedPoints() == expected; })) << ReadFileBytes(saved);

    WriteFileBytes(earlier, "100,200\r\n300,401 px\r\n");
    Click(ChildById(app.window, kLoadCoordsButtonId));
    ASSERT_TRUE(CompleteFileDialog(app.process.Id(), earlier));
    const std::vector<std::pair<std::wstring, std::wstring>> loaded = {{L"150", L"300"}, {L"300", L"401"}};
    EXPECT_TRUE(WaitUntil([&] { return RowTexts(app) == loaded; }));
    EXPECT_EQ(CloseApp(app), 0u);
}
