// The page's picture taken from the screen in this process: the same page gives the same picture,
// a repainted one another, the blinking caret is no change, and ten thousand pictures leave no GDI
// object and no memory behind.
#include "automation/watch/page_picture_win.h"
#include "automation/watch/page_turn.h"
#include "harness.h"

#include <gtest/gtest.h>

#include <psapi.h>

using namespace harness;

namespace {
COLORREF g_background = RGB(255, 255, 255);

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT rect;
        GetClientRect(window, &rect);
        HBRUSH brush = CreateSolidBrush(g_background);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, brush);
        DeleteObject(brush);
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A top-level window of this thread, in front and painted.
struct TestPage {
    HWND window = nullptr;
    TestPage(int width, int height) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = PageProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PicturePage";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, L"PicturePage", L"page", WS_POPUP | WS_VISIBLE, 100, 100, width, height, nullptr,
                                 nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(window);
        Repaint(g_background);
    }
    ~TestPage() { DestroyWindow(window); }
    void Repaint(COLORREF color) {
        g_background = color;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpUntil([] { return false; }, milliseconds(100));
    }
};

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}
}  // namespace

TEST(PagePicture, TheSamePageIsTheSamePictureAndARepaintedOneAnother) {
    TestPage page(400, 300);
    const PagePicture first = TakePagePicture(page.window);
    ASSERT_TRUE(first.taken);
    EXPECT_EQ(first.width, 400);
    EXPECT_EQ(first.height, 300);
    EXPECT_EQ(ComparePictures(first, TakePagePicture(page.window)), PageSeen::kSame);
    page.Repaint(RGB(250, 255, 255));
    EXPECT_EQ(ComparePictures(first, TakePagePicture(page.window)), PageSeen::kChanged);
    ShowWindow(page.window, SW_MINIMIZE);
    EXPECT_FALSE(TakePagePicture(page.window).taken);
    EXPECT_FALSE(TakePagePicture(nullptr).taken);
}

TEST(PagePicture, TheBlinkingCaretIsNoChange) {
    TestPage page(300, 200);
    ASSERT_TRUE(CreateCaret(page.window, nullptr, 3, 24));
    SetCaretPos(50, 40);
    const PagePicture hidden = TakePagePicture(page.window);
    HDC shown = GetDC(page.window);
    const COLORREF background = GetPixel(shown, 51, 50);
    ShowCaret(page.window);
    // Over two blink periods the caret is drawn and taken away again; no picture may differ.  The caret
    // blinks only while this thread pumps messages, so a caret pixel read just before a picture is what
    // that picture holds: some pictures must hold the caret, or leaving it out was never tested.
    int picturesWithCaret = 0, pictures = 0;
    const DWORD until = GetTickCount() + 2 * GetCaretBlinkTime() + 200;
    while (GetTickCount() < until) {
        PumpUntil([] { return false; }, milliseconds(30));
        const bool caretDrawn = GetPixel(shown, 51, 50) != background;
        EXPECT_EQ(ComparePictures(hidden, TakePagePicture(page.window)), PageSeen::kSame);
        picturesWithCaret += caretDrawn;
        ++pictures;
    }
    ReleaseDC(page.window, shown);
    DestroyCaret();
    EXPECT_GT(picturesWithCaret, 0) << "the caret was never drawn in " << pictures << " pictures";
    EXPECT_LT(picturesWithCaret, pictures) << "the caret never blinked off";
}

TEST(PagePicture, TenThousandPicturesLeaveNoGdiObjectAndNoMemoryBehind) {
    TestPage page(200, 100);
    for (int i = 0; i < 50; ++i) TakePagePicture(page.window);  // the first calls set up what stays
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const SIZE_T bytesBefore = PrivateBytes();
    int taken = 0;
    for (int i = 0; i < 10000; ++i) taken += TakePagePicture(page.window).taken;
    // A leaked DC or bitmap per picture fills the system's table of GDI handles long before this.
    EXPECT_EQ(taken, 10000);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    const SIZE_T bytesAfter = PrivateBytes();
    std::printf("GDI objects %lu, private bytes %zu -> %zu\n", gdiBefore, bytesBefore, bytesAfter);
    EXPECT_LT(bytesAfter, bytesBefore + 8 * 1024 * 1024);  // a leaked 80 KB picture each would be 800 MB
}
