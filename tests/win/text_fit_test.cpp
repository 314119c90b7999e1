// No text of any window is cut off: every label's and button's text, measured with the font the
// control really has, fits the part of the control its window shows, on one line or wrapped within
// its height. Runs in this process at the world's DPI (ctest runs it at 96 and, as
// win_text_fit_high_dpi, at 144 dpi).
#include "app/main_window_win.h"
#include "automation/run/run_messages.h"
#include "automation/run/run_record.h"
#include "automation/watch/read_back.h"
#include "delays/settings_window_win.h"
#include "harness.h"
#include "platform/dpi_win.h"
#include "platform/text_win.h"
#include "tables/merge_window_win.h"
#include "tables/preview_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using namespace harness;

namespace {
// A process that is not aware of DPI is shown a 96-dpi screen in every world; the program is aware.
const bool kAware = SetProcessDPIAware() != FALSE;

// The world's DPI as its prefix was made (tests/wine/wine-env): 96 unless it says otherwise.
int WorldDpi() {
    const char* logPixels = std::getenv("WINE_LOGPIXELS");
    return logPixels ? std::atoi(logPixels) : 96;
}

int Scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

// The rectangle the control's text is laid out in, as the standard controls draw it, in the
// control's client coordinates; and whether the control breaks its text into lines.
struct TextBox {
    RECT rect;
    bool wraps;
};

TextBox TextBoxOf(HWND control, int dpi) {
    RECT r;
    GetClientRect(control, &r);
    // Only what the window shows of the control counts: a control reaching past its window's client
    // area loses the rest there.
    RECT parent, placed = RectInParent(control);
    GetClientRect(GetParent(control), &parent);
    if (placed.right > parent.right) r.right -= placed.right - parent.right;
    if (placed.bottom > parent.bottom) r.bottom -= placed.bottom - parent.bottom;
    const LONG_PTR style = StyleOf(control);
    if (ClassOf(control) == L"Static") {
        const LONG_PTR type = style & SS_TYPEMASK;
        return {r, type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT};
    }
    const LONG_PTR type = style & BS_TYPEMASK;
    const bool box = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE ||
                     type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    if (box) {
        r.left += Scaled(13, dpi) + Scaled(4, dpi);  // the box and the gap before its text
    } else if (type == BS_GROUPBOX) {
        InflateRect(&r, -Scaled(8, dpi), 0);  // the text sits in the frame's top line
        r.bottom = r.top + Scaled(20, dpi);
    } else {
        InflateRect(&r, -Scaled(3, dpi), -Scaled(2, dpi));  // the raised edge and the focus rectangle
    }
    return {r, (style & BS_MULTILINE) != 0};
}

// How wide the text's ink is, drawn left-aligned with `format` in `width` (where it wraps) but not
// clipped there: the rightmost column any glyph of any line touches, plus one. The extent the system
// measures and the glyphs it draws can differ (under Wine a line can draw a pixel or two wider than
// its measured extent), so only the drawn pixels show what a control of that width cuts off.
int InkWidth(HDC reference, HFONT font, const std::wstring& text, UINT format, int width, int height) {
    const int canvas = width + 64;  // room for what overruns
    HDC dc = CreateCompatibleDC(reference);
    HBITMAP bitmap = CreateCompatibleBitmap(reference, canvas, height);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    const RECT all = {0, 0, canvas, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    RECT box = {0, 0, width, height};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, (format & ~(DT_CENTER | DT_RIGHT)) | DT_NOCLIP);
    int ink = 0;
    for (int x = canvas - 1; x >= 0 && !ink; --x)
        for (int y = 0; y < height; ++y)
            if ((GetPixel(dc, x, y) & 0xFFFFFF) != RGB(255, 255, 255)) {
                ink = x + 1;
                break;
            }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return ink;
}

// Empty when the text fits; otherwise what is wrong, with the sizes.
std::string Misfit(HWND control, int dpi) {
    const std::wstring text = TextOf(control);
    if (text.empty()) return "";
    const TextBox box = TextBoxOf(control, dpi);
    HDC dc = GetDC(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    RECT need = {0, 0, box.rect.right - box.rect.left, 0};
    // A button, and a label without SS_NOPREFIX, draws "&&" as one "&" (and "&x" as an underlined x).
    const bool prefixes = ClassOf(control) != L"Static" || !(StyleOf(control) & SS_NOPREFIX);
    const UINT format = DT_CALCRECT | DT_EXPANDTABS | (prefixes ? 0 : DT_NOPREFIX) |
                        (box.wraps ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, format);
    SelectObject(dc, old);
    const int width = box.rect.right - box.rect.left, height = box.rect.bottom - box.rect.top;
    const int ink = InkWidth(dc, font, text, format & ~DT_CALCRECT, width, std::max<int>(need.bottom, 1));
    ReleaseDC(control, dc);
    if (need.right <= width && need.bottom <= height && ink <= width) return "";
    return ToUtf8(ClassOf(control) + L" \"" + text + L"\"") + " needs " + std::to_string(need.right) + "x" +
           std::to_string(need.bottom) + " (draws " + std::to_string(ink) + " wide), has " + std::to_string(width) +
           "x" + std::to_string(height);
}

// Every label and button of the window, hidden ones too (they show in another mode); returns how
// many were measured.
int ExpectTextsFit(HWND window, const char* name) {
    int measured = 0;
    const int dpi = WindowDpi(window);
    for (HWND child : Children(window)) {
        const std::wstring cls = ClassOf(child);
        if (cls != L"Static" && cls != L"Button") continue;
        const std::string misfit = Misfit(child, dpi);
        EXPECT_EQ(misfit, "") << name << " at " << dpi << " dpi";
        ++measured;
    }
    return measured;
}

class TextFit : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(kAware);
        // The main window reads and writes its files in the working folder: a folder of its own.
        ASSERT_TRUE(SetCurrentDirectoryW(MakeTempDir(L"text-fit").c_str()));
        ASSERT_TRUE(RegisterWindowClasses(GetModuleHandleW(nullptr)));
    }
};
}  // namespace

TEST_F(TextFit, EveryLabelAndButtonOfEveryWindowShowsItsWholeText) {
    HWND main = CreateTopWindowForDpi(WS_EX_DLGMODALFRAME, L"RizidudUdaravuzuv", L"text fit", WS_OVERLAPPEDWINDOW, 405,
                                      575, nullptr);
    ASSERT_TRUE(main);
    ShowWindow(main, SW_SHOWNORMAL);
    const int dpi = WindowDpi(main);
    ASSERT_EQ(dpi, WorldDpi()) << "the world is not at the DPI its prefix was made with";
    int measured = ExpectTextsFit(main, "main");
    // The list mode shows the list field and disables two fields; no label changes with it.
    ShowSettingsWindow();
    ShowMergeWindow();
    ShowPreviewWindow("001,002\r\n1,2\r\n");
    ShowPasswordPreviewWindow("P001\r\nab12cd34\r\n");
    const struct {
        const wchar_t* cls;
        const char* name;
        size_t windows;
    } others[] = {{L"BarcodeSettings", "settings", 1}, {L"BarcodeMerge", "merge", 1}, {L"BarcodePreview", "preview", 2}};
    for (const auto& o : others) {
        const std::vector<HWND> found = TopWindows(GetCurrentProcessId(), o.cls);
        EXPECT_EQ(found.size(), o.windows) << o.name;
        for (HWND w : found) measured += ExpectTextsFit(w, o.name);
    }
    // main: 13 labels and buttons and 5 rows of 2, banner, 2 links; settings 27; merge 22; previews 2 × 4
    EXPECT_GE(measured, 26 + 27 + 22 + 8);
    std::printf("text fit: %d labels and buttons measured at %d dpi\n", measured, dpi);
    DestroyWindow(main);
}

// The message boxes the program shows at the end of a run and at a stop, as the system lays them out
// for the program's texts: short lines and long ones the box breaks itself. Measured and drawn: under
// Wine the box sizes its label to the measured lines, and only the program's room past them (the
// message box module) keeps the last glyph of the widest line from being cut.
TEST_F(TextFit, TheStopAndCompletionMessagesShowTheirWholeText) {
    RunTally mixed;  // every line the completion message can have
    mixed.verified = 4;
    mixed.notChecked = 2;
    mixed.retyped = 1;
    const struct {
        std::string text;
        const char* caption;
    } boxes[] = {
        {kStopMessage, kStopCaption},
        {std::string(kFinishedMessage) + "\n\nПроверено в окне мастера: 6 из 6.", kFinishedCaption},
        {TrialStopMessage(3, false), kTrialStopCaption},
        {CompletionMessage(mixed, false, "", "Следующий прогон без повтора: Начать с: 0011"), kFinishedCaption},
        {kInputBlockedMessage, kStopCaption},
        {LostFieldStopMessage("захвата 2 (774, 143)", 3000), kStopCaption},
    };
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.caption);
        std::thread shower([&] { ShowMessage(nullptr, b.text, b.caption, MB_OK | MB_ICONINFORMATION); });
        const MessageBoxInfo box = WaitForMessageBox(GetCurrentProcessId());
        ASSERT_TRUE(box.window);
        int measured = 0;
        for (HWND child : Children(box.window))
            if (ClassOf(child) == L"Static" && !TextOf(child).empty()) {
                EXPECT_EQ(Misfit(child, WindowDpi(box.window)), "");
                ++measured;
            }
        EXPECT_EQ(measured, 1);
        AnswerMessageBox(box.window);
        shower.join();
    }
}

// The measure itself: a label too narrow for its text, or a line too many for its height, is found.
TEST_F(TextFit, TheMeasureFindsTextCutByWidthAndByHeight) {
    const int dpi = WorldDpi();
    HWND parent = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPEDWINDOW, 0, 0, Scaled(900, dpi), Scaled(300, dpi),
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(parent);
    const auto label = [&](DWORD style, int width, int height) {
        return CreateWindowExW(0, L"Static", L"Перед СТАРТОМ обязательно выделите начальную ячейку", WS_CHILD | style,
                               0, 0, Scaled(width, dpi), Scaled(height, dpi), parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    };
    const auto box = [&](const wchar_t* text, int width) {
        return CreateWindowExW(0, L"Button", text, WS_CHILD | BS_AUTOCHECKBOX, 0, 0, Scaled(width, dpi),
                               Scaled(20, dpi), parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    };
    EXPECT_EQ(Misfit(label(SS_LEFT, 560, 20), dpi), "");
    EXPECT_NE(Misfit(label(SS_LEFT, 200, 20), dpi), "");      // wraps onto a line the height hides
    EXPECT_EQ(Misfit(label(SS_LEFT, 200, 80), dpi), "");      // ... which a taller label shows
    EXPECT_NE(Misfit(label(SS_LEFTNOWORDWRAP, 200, 80), dpi), "");  // one line only, cut at its end
    EXPECT_EQ(Misfit(box(L"XL", 60), dpi), "");
    EXPECT_NE(Misfit(box(L"Переменная из списка", 60), dpi), "");
    HWND outside = label(SS_LEFT, 560, 20);
    SetWindowPos(outside, nullptr, Scaled(700, dpi), 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_NE(Misfit(outside, dpi), "") << "the window cuts what lies beyond its client area";
    DestroyWindow(parent);
}
