// The windows' layout tables at other DPIs, in this process: the controls keep the 96-dpi boxes they
// were made from, no scaling makes two of them overlap, and WM_DPICHANGED (which Wine never sends)
// moves them to their scaled places with fonts made for the new DPI.
#include "app/main_window_win.h"
#include "delays/settings_window_win.h"
#include "harness.h"
#include "platform/controls_win.h"
#include "platform/dpi_win.h"
#include "platform/gdi_win.h"
#include "tables/merge_window_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

using namespace harness;

namespace {
// The windows are made in this process, whose DPI is the system's.
class LayoutDpi : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(RegisterWindowClasses(GetModuleHandleW(nullptr))); }
    void TearDown() override {
        for (const wchar_t* cls : {L"BarcodeSettings", L"BarcodeMerge"})
            for (HWND w : TopWindows(GetCurrentProcessId(), cls)) DestroyWindow(w);
    }
};

struct Window {
    const wchar_t* className;
    void (*open)();
};
const Window kWindows[] = {{L"BarcodeSettings", ShowSettingsWindow}, {L"BarcodeMerge", ShowMergeWindow}};

HWND Open(const Window& window) {
    window.open();
    const std::vector<HWND> found = TopWindows(GetCurrentProcessId(), window.className);
    return found.empty() ? nullptr : found.front();
}

std::vector<LayoutBox> BoxesOf(HWND window) {
    std::vector<LayoutBox> boxes;
    for (HWND child : Children(window)) {
        LayoutBox box;
        if (LayoutBoxOf(child, box)) boxes.push_back(box);
    }
    return boxes;
}

LayoutBox PlacedBox(HWND child) {
    const RECT r = RectInParent(child);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// The rectangles of the tools of the tooltip the window owns, if it has one.
std::vector<RECT> TooltipRects(HWND window) {
    std::vector<RECT> rects;
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)) != nullptr;) {
        if (GetWindow(tip, GW_OWNER) != window) continue;  // hidden until the pointer rests on a tip
        const int count = static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TOOLINFOW tool = {};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            if (SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tool)))
                rects.push_back(tool.rect);
        }
    }
    return rects;
}

// A drop-down list reports its closed height: only its top and width are its box's.
bool IsDropDown(HWND child) { return _wcsicmp(ClassOf(child).c_str(), L"ComboBox") == 0; }

void ExpectPlacedAt(HWND window, int dpi) {
    for (HWND child : Children(window)) {
        LayoutBox box;
        if (!LayoutBoxOf(child, box)) continue;
        const LayoutBox want = ScaleBox(box, dpi), got = PlacedBox(child);
        SCOPED_TRACE(ToUtf8(ClassOf(child) + L" \"" + TextOf(child) + L"\""));
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.width, want.width);
        if (!IsDropDown(child)) {
            EXPECT_EQ(got.height, want.height);
        }
    }
}
}  // namespace

TEST_F(LayoutDpi, EveryControlComesFromATableAndScalingAddsNoOverlap) {
    for (const Window& w : kWindows) {
        SCOPED_TRACE(ToUtf8(w.className));
        HWND window = Open(w);
        ASSERT_TRUE(window);
        size_t tooltips = 0;
        for (HWND child : Children(window)) tooltips += ClassOf(child) == L"tooltips_class32";
        const std::vector<LayoutBox> boxes = BoxesOf(window);
        EXPECT_EQ(boxes.size() + tooltips, Children(window).size()) << "a control not made from a table row";
        EXPECT_GE(boxes.size(), 30u);
        ExpectPlacedAt(window, WindowDpi(window));
        // The window is made large enough for its table: no control reaches past its client area.
        RECT client;
        GetClientRect(window, &client);
        for (HWND child : Children(window)) {
            if (ClassOf(child) == L"tooltips_class32") continue;
            const RECT r = RectInParent(child);
            EXPECT_LE(r.right, client.right) << ToUtf8(TextOf(child));
            if (!IsDropDown(child)) {
                EXPECT_LE(r.bottom, client.bottom) << ToUtf8(TextOf(child));
            }
        }
        for (int dpi : {96, 120, 144, 192}) {
            for (const auto& pair : OverlapsAddedAt(boxes, dpi))
                ADD_FAILURE() << "rows " << pair.first << " and " << pair.second << " overlap at " << dpi << " dpi";
        }
    }
}

TEST_F(LayoutDpi, AMoveToAnotherDpiLaysTheWindowOutAgain) {
    for (const Window& w : kWindows) {
        SCOPED_TRACE(ToUtf8(w.className));
        HWND window = Open(w);
        ASSERT_TRUE(window);
        const int before = WindowDpi(window);
        RECT suggested = {40, 20, 40 + 700, 20 + 980};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        RECT frame;
        GetWindowRect(window, &frame);
        EXPECT_EQ(frame.left, 40);
        EXPECT_EQ(frame.top, 20);
        EXPECT_EQ(frame.right - frame.left, 700);
        EXPECT_EQ(frame.bottom - frame.top, 980);
        ExpectPlacedAt(window, 192);
        for (HWND child : Children(window))
            if (ClassOf(child) != L"tooltips_class32") {
                EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), UiFont(192));
            }
        // A tip cut short would be shown whole where its label now lies; the settings window's tips
        // are wide enough for their text at this DPI too, so it needs none.
        std::vector<RECT> labels;
        for (HWND child : Children(window))
            if (ClassOf(child) == L"Static") labels.push_back(RectInParent(child));
        const std::vector<RECT> tools = TooltipRects(window);
        if (w.className == std::wstring(L"BarcodeSettings")) {
            EXPECT_TRUE(tools.empty());
        }
        for (const RECT& tool : tools) {
            bool onALabel = false;
            for (const RECT& label : labels) onALabel = onALabel || EqualRect(&tool, &label);
            EXPECT_TRUE(onALabel) << tool.left << "," << tool.top << " " << tool.right << "," << tool.bottom;
        }
        // and back: every box exactly where it started
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(before, before), reinterpret_cast<LPARAM>(&suggested));
        ExpectPlacedAt(window, before);
    }
}
