// Pictures for the user guide, taken from the real program: drives the exe beside the stand-in designer
// as the guide's reader would and saves each window as a BMP (scripts/screenshots makes PNGs of them).
//   screenshots.exe <output folder> [<suffix>]
// With a suffix, only the main window's scene and the settings and merge windows are taken, each
// named with the suffix (the windows at another DPI).
// The sample vendor site must be served, so that the title and the banner are the online ones.
#include "harness.h"
#include "merge_window.h"
#include "run_support.h"
#include "tables/merge_window_ids.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace harness;

namespace {
std::wstring g_outDir;
std::wstring g_suffix;  // after every picture's name
int g_failures = 0;

bool Fail(const char* what) {
    std::fprintf(stderr, "screenshots: %s\n", what);
    ++g_failures;
    return false;
}

// The mouse pointer (the standard arrow, which the designer's page shows) where the cursor is, drawn
// into `dc` that holds the screen from `area`'s corner: the screen's pixels do not include it.
void DrawCursor(HDC dc, const RECT& area) {
    POINT at;
    if (!GetCursorPos(&at)) return;
    HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    ICONINFO info = {};
    if (!arrow || !GetIconInfo(arrow, &info)) return;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DrawIconEx(dc, at.x - area.left - static_cast<int>(info.xHotspot), at.y - area.top - static_cast<int>(info.yHotspot),
               arrow, 0, 0, 0, nullptr, DI_NORMAL);
}

// The screen's pixels inside `area`, as a bottom-up 24-bit BMP file; with the mouse pointer drawn in
// when `withCursor`.
bool SaveScreenArea(const RECT& area, const std::wstring& name, bool withCursor = false) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return Fail("an empty window");
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    if (withCursor) DrawCursor(memory, area);
    SelectObject(memory, old);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (width * 3 + 3) & ~3u;
    std::string pixels(static_cast<size_t>(stride) * height, '\0');
    GetDIBits(memory, bitmap, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += pixels;
    WriteFileBytes(JoinPath(g_outDir, name + g_suffix + L".bmp"), bytes);
    std::printf("screenshots: %s (%dx%d)\n", ToUtf8(name + g_suffix).c_str(), width, height);
    return true;
}

RECT Union(const std::vector<HWND>& windows) {
    RECT all = {};
    for (HWND w : windows) {
        RECT r;
        GetWindowRect(w, &r);
        UnionRect(&all, &all, &r);
    }
    return all;
}

// The preview as it reads after a click into its text (it opens with the whole text selected).
HWND Unselected(HWND preview) {
    if (preview) SendMessageW(PreviewField(preview), EM_SETSEL, 0, 0);
    return preview;
}

// Brings the window forward, lets it paint and saves it (with the others shown beside it, if any).
bool Shoot(const std::wstring& name, HWND window, std::vector<HWND> beside = {}) {
    if (!window) return Fail("a window to photograph did not appear");
    BringToFront(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Sleep(700);
    beside.push_back(window);
    return SaveScreenArea(Union(beside), name);
}

// The program started in `dir`, once the title and the first banner have come from the sample site.
bool StartOnline(App& app, const std::wstring& dir = L"") {
    if (!StartApp(app, dir)) return Fail("the program did not start");
    const std::wstring first = TextOf(app.window);
    WaitUntil([&] { return TextOf(app.window) != first; }, milliseconds(8000));
    Sleep(1500);
    return true;
}

// The main window with three positions captured on the designer's page of labels and a run's fields
// filled; delays slow enough that the run can be photographed. With `shootCapture`, the capture of the
// second label is photographed: the main window beside the page, the cursor on that label.
bool OpenScene(App& app, Fixture& designer, const std::wstring& dir, bool shootCapture) {
    WriteDelays(dir, {500, 100, 400, 60, 150, 900, 400});
    if (!StartOnline(app, dir)) return false;
    if (!StartFixture(designer, L"fake_designer", L"FakeDesigner", dir, L"3 labels"))
        return Fail("no stand-in designer");
    ParkMainWindow(app);
    std::vector<POINT> points;
    for (HWND object : designer.ChildrenOfClass(L"FakeBarcodeObject"))
        if (points.size() < 3) points.push_back(CenterOf(object));
    if (points.size() < 3) return Fail("the designer shows too few labels");
    SelectComboItem(PerPageCombo(app), static_cast<int>(points.size()) - 1);
    for (size_t row = 0; row < points.size(); ++row) {
        if (!CapturePoint(app, designer.window, row, points[row])) return Fail("the positions were not captured");
        if (shootCapture && row == 1) {
            Sleep(500);
            SaveScreenArea(Union({app.window, designer.window}), L"capture", true);
        }
    }
    SetTextOf(PrefixEdit(app), L"AB-");
    SetTextOf(StartNumberEdit(app), L"0001");
    SetTextOf(TotalEdit(app), L"10");
    return true;
}

// The message box the app shows next, photographed beside its main window, then answered with `answer`.
void ShootBoxBesideMain(const App& app, const wchar_t* name, const char* missing, int answer,
                        milliseconds timeout = kDefaultTimeout) {
    MessageBoxInfo box = WaitForMessageBox(app.process.Id(), timeout);
    if (!box.window) {
        Fail(missing);
        return;
    }
    SetWindowPos(box.window, nullptr, 420, 240, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Sleep(500);
    Shoot(name, box.window, {app.window});
    AnswerMessageBox(box.window, answer);
}

void RunAndStop(App& app, Fixture& designer) {
    Click(StartButton(app));
    // two barcodes stored: the caption shows the progress and the time left
    if (!WaitUntil([&] { return TextOf(app.window).rfind(L"2 из 10", 0) == 0; }, milliseconds(30000)))
        Fail("the caption never showed the run's progress");
    Sleep(300);
    SaveScreenArea(Union({app.window, designer.window}), L"run");
    // the third value typed into its wizard, before the Enter presses store it
    const std::wstring third = L"AB-0003";
    HWND wizard = nullptr;
    const bool typed = WaitUntil([&] {
        for (HWND w : TopWindows(designer.process.Id(), L"FakeWizard")) {
            HWND edit = FindWindowExW(w, nullptr, L"Edit", nullptr);
            if (IsWindowVisible(w) && edit && TextOf(edit) == third) wizard = w;
        }
        return wizard != nullptr;
    }, milliseconds(10000));
    if (typed) {
        Sleep(40);
        SaveScreenArea(Union({app.window, designer.window, wizard}), L"wizard");
    } else {
        Fail("no wizard with the third value");
    }
    // stopped on the second page, after its first barcode
    if (!WaitUntil([&] { return TextOf(app.window).rfind(L"4 из 10", 0) == 0; }, milliseconds(30000)))
        Fail("the fourth value was not stored");
    PressKey(VK_ESCAPE);
    // beside the main window, whose caption now names the next value
    ShootBoxBesideMain(app, L"stop", "no stop message after Escape", IDOK);
    // "СТАРТ" again with nothing changed: the question whether to continue where the run stopped
    Click(StartButton(app));
    ShootBoxBesideMain(app, L"continue", "no question after the second START", IDCANCEL);
    // once more, Yes: the run goes on to its end and says how many values it saw in the wizard
    Click(StartButton(app));
    MessageBoxInfo ask = WaitForMessageBox(app.process.Id());
    if (ask.window) AnswerMessageBox(ask.window, IDYES);
    ShootBoxBesideMain(app, L"done", "no completion message after continuing", IDOK, milliseconds(90000));
}

// A new run with the trial box ticked (and nothing applied): its stop after the first page, the question
// "СТАРТ" then asks, and, once the run has gone on and the program was ended in the middle of it, the
// main window as the next start restores it.
void TrialAndRestart(const std::wstring& dir) {
    App app;
    Fixture designer;
    if (!OpenScene(app, designer, dir, false)) return;
    Click(FindChild(app.window, L"Button", L"Настройки, советы"));
    HWND settings = WaitForTopWindow(app.process.Id(), L"BarcodeSettings");
    if (!settings) {
        Fail("no settings window");
        return;
    }
    HWND trial = FindChild(settings, L"Button", L"Пробный запуск: остановиться после первой страницы");
    Click(trial);
    if (!WaitUntil([&] { return IsChecked(trial); })) Fail("the trial box did not take the tick");
    PostMessageW(settings, WM_CLOSE, 0, 0);
    WaitUntil([&] { return !IsWindow(settings); });
    Click(StartButton(app));
    ShootBoxBesideMain(app, L"trial", "no trial stop", IDOK, milliseconds(30000));
    Click(StartButton(app));
    ShootBoxBesideMain(app, L"continue-trial", "no question after the trial stop", IDYES);
    if (!WaitUntil([&] { return TextOf(app.window).rfind(L"4 из 10", 0) == 0; }, milliseconds(30000)))
        Fail("the run did not go on after the trial stop");
    app.process.Kill();
    designer.process.Kill();
    App again;
    if (!StartOnline(again, dir)) return;
    ParkMainWindow(again);
    Shoot(L"resumed", again.window);
    CloseApp(again);
}

void MergeAndPreviews(App& app) {
    HWND merge = OpenMergeWindow(app);
    if (!Shoot(L"merge", merge)) return;
    TypeInto(MergeChildAt(merge, kPrefixField), L"AB-");
    TypeInto(MergeChildAt(merge, kStartField), L"0001");
    TypeInto(MergeChildAt(merge, kCountField), L"30");
    Click(ChildById(merge, kCreateTableButtonId));
    HWND table = WaitForTablePreview(app);
    Shoot(L"table-preview", Unselected(table));
    if (table) PostMessageW(table, WM_CLOSE, 0, 0);
    Click(ChildById(merge, kGeneratePasswordsButtonId));
    HWND passwords = WaitForPasswordPreview(app);
    Shoot(L"passwords", Unselected(passwords));
    if (passwords) PostMessageW(passwords, WM_CLOSE, 0, 0);
    PostMessageW(merge, WM_CLOSE, 0, 0);
}

void Settings(App& app) {
    Click(FindChild(app.window, L"Button", L"Настройки, советы"));
    HWND settings = WaitForTopWindow(app.process.Id(), L"BarcodeSettings");
    if (settings) SetWindowPos(settings, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Shoot(L"settings", settings);
    if (settings) PostMessageW(settings, WM_CLOSE, 0, 0);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots <output folder> [<main window picture name>]\n");
        return 2;
    }
    g_outDir = LinuxToWine(argv[1]);
    App app;
    Fixture designer;
    const std::wstring dir = MakeTempDir(L"screenshots");
    if (!OpenScene(app, designer, dir, argc <= 2)) return 1;
    if (argc > 2) {
        g_suffix.assign(argv[2], argv[2] + std::strlen(argv[2]));
        Shoot(L"main", app.window);
        designer.process.Kill();
        Settings(app);
        HWND merge = OpenMergeWindow(app);
        if (merge) SetWindowPos(merge, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Shoot(L"merge", merge);
        CloseApp(app);
        return g_failures == 0 ? 0 : 1;
    }
    Shoot(L"main", app.window);
    RunAndStop(app, designer);
    CloseApp(app);
    designer.process.Kill();
    TrialAndRestart(MakeTempDir(L"screenshots-trial"));
    // the other windows as a new user first sees them: default delays, default fields
    App fresh;
    if (!StartOnline(fresh)) return 1;
    Settings(fresh);
    MergeAndPreviews(fresh);
    CloseApp(fresh);
    return g_failures == 0 ? 0 : 1;
}
