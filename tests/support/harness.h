// End-to-end test harness: starts the real exe (or a fixture) under Wine in a fresh working directory
// and uses it as a person would: finds windows, reads controls, clicks, types, answers message boxes,
// drives the file dialogs and reads the clipboard. Texts are UTF-16 (write them as L"..." literals).
#pragma once
#include <windows.h>

#include "text_lines.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace harness {

using std::chrono::milliseconds;
constexpr milliseconds kDefaultTimeout{10000};

// --- Paths -------------------------------------------------------------------------------------------
// A build path as Windows sees it: Linux paths are reached through Wine's drive Z:.
std::wstring LinuxToWine(const std::string& path);
std::wstring BuildDir();                            // the Windows build tree as a Wine path (Z:\...)
// The folder of this run of the suite (tests/wine/wine-suite gives each suite one: TEST_SUITE_DIR);
// <build>\wine when the program runs without one.
std::wstring SuiteDir();
// The world the suite runs in (TEST_WORLD_DIR: its display and Wine prefix); <build>\wine without one.
std::wstring WorldDir();
std::wstring ExePath();                             // RizidudUdaravuzuv.exe: the suite's copy when it has one
std::wstring ExeDir();                              // its folder, where its cache files lie
std::wstring FixturePath(const std::wstring& name); // a fixture exe of the build tree, e.g. L"fake_designer"
// A new empty folder under the suite's folder, unique per call.
std::wstring MakeTempDir(const std::wstring& hint = L"work");
std::wstring JoinPath(const std::wstring& dir, const std::wstring& name);

// --- Files -------------------------------------------------------------------------------------------
bool FileExists(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);  // empty when missing
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

// --- Processes ---------------------------------------------------------------------------------------
class Process {
public:
    Process() = default;
    ~Process();  // kills the process if it is still running
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Start(const std::wstring& exe, const std::wstring& workDir, const std::wstring& args = L"");
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    bool Running() const;
    // Exit code, or STILL_ACTIVE when it did not end within the timeout.
    DWORD WaitExit(milliseconds timeout = kDefaultTimeout);
    void Kill();

private:
    PROCESS_INFORMATION info_{};
};

// The utility started in its own working directory, with its main window found.
struct App {
    Process process;
    std::wstring workDir;
    HWND window = nullptr;
};
// Starts the exe in `workDir` (a new temp dir when empty) and waits for its main window. The cache
// files beside the exe (title.dat, inspirational.dat) are removed first, so each start is a first run.
bool StartApp(App& app, const std::wstring& workDir = L"", milliseconds timeout = kDefaultTimeout);
// The same, keeping whatever cache files a test has put beside the exe.
bool StartAppWithCacheFiles(App& app, const std::wstring& workDir = L"", milliseconds timeout = kDefaultTimeout);
// StartApp in a new working directory that holds one file, `name` with `bytes`.
bool StartAppWithFile(App& app, const std::wstring& name, const std::string& bytes);
void RemoveCacheFilesBesideExe();
// Closes the main window as the close box does and returns the exit code.
DWORD CloseApp(App& app, milliseconds timeout = kDefaultTimeout);
std::string SettingsIn(const App& app);  // the bytes of barcode_app.cfg in its working directory

// --- Windows -----------------------------------------------------------------------------------------
bool WaitUntil(const std::function<bool()>& condition, milliseconds timeout = kDefaultTimeout,
               milliseconds step = milliseconds(20));
// WaitUntil that also dispatches this thread's messages, for what only a pumping thread can serve
// (the clipboard it owns).
bool PumpUntil(const std::function<bool()>& condition, milliseconds timeout = kDefaultTimeout);
// Visible top-level windows of a process, optionally of one class.
std::vector<HWND> TopWindows(DWORD pid, const std::wstring& className = L"");
HWND WaitForTopWindow(DWORD pid, const std::wstring& className, milliseconds timeout = kDefaultTimeout);
std::vector<HWND> Children(HWND parent);  // direct children, in z-order (creation order for controls)
std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
// The text as a button or label draws it: "&&" shows one '&', a single '&' only underlines the next
// character (a label with SS_NOPREFIX draws its text as it is).
std::wstring ShownText(HWND control);
void SetTextOf(HWND control, const std::wstring& text);  // WM_SETTEXT, as a paste would
HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& text);
HWND ChildById(HWND parent, int id);
RECT RectInParent(HWND child);  // the child's window rectangle in its parent's client coordinates
bool IsChecked(HWND button);
int ComboSelection(HWND combo);
std::wstring ComboItem(HWND combo, int index);
int ComboCount(HWND combo);
LONG_PTR StyleOf(HWND window);
LONG_PTR ExStyleOf(HWND window);
bool IsTopmost(HWND window);

// --- Input (real SendInput) -------------------------------------------------------------------------
void BringToFront(HWND topLevel);
POINT CenterOf(HWND window);  // screen coordinates
void MoveMouse(POINT screen);
void ClickAt(POINT screen);
void DoubleClickAt(POINT screen);
void Click(HWND control);  // brings its top-level window forward and clicks the middle of the control
void TypeText(const std::wstring& text);  // KEYEVENTF_UNICODE, one character at a time
void PressKey(WORD vk);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
// Presses vk and waits until the desktop's key state shows it down. Under Wine a key passes every
// low-level hook before it counts as down, so a key sent straight after it could still be seen
// without the modifier. Only for keys no hook swallows.
bool HoldKey(WORD vk);
// The control that has the keyboard focus in the thread of `topLevel` (null when none).
HWND FocusedControl(HWND topLevel);
// Brings `topLevel` forward and presses Tab (Shift+Tab when `backward`) `count` times; the
// identifier of the focused control after each press (0 when none or when it did not move).
std::vector<int> TabThrough(HWND topLevel, size_t count, bool backward = false);
// Selects an item of a drop-down list combo box as a user would (notifying the parent).
void SelectComboItem(HWND combo, int index);

// --- Message boxes and dialogs ------------------------------------------------------------------------
struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    bool hasInformationIcon = false;
};
// Waits for a message box (dialog class #32770) of the process and reads it; window is null on timeout.
MessageBoxInfo WaitForMessageBox(DWORD pid, milliseconds timeout = kDefaultTimeout);
void AnswerMessageBox(HWND box, int buttonId = IDOK);
// Waits for the common open/save dialog of the process, types `path` into its file name field and
// confirms. Returns false when no dialog appeared.
bool CompleteFileDialog(DWORD pid, const std::wstring& path, milliseconds timeout = kDefaultTimeout);
// The same without waiting for the dialog to close (it may ask a question first); returns the dialog.
HWND SubmitFileDialog(DWORD pid, const std::wstring& path, milliseconds timeout = kDefaultTimeout);
// Reads the file name the open/save dialog proposes (empty when none appeared) and leaves it open.
std::wstring ProposedFileName(DWORD pid, milliseconds timeout = kDefaultTimeout);
void CancelFileDialog(DWORD pid, milliseconds timeout = kDefaultTimeout);

// --- Clipboard ---------------------------------------------------------------------------------------
std::string ClipboardBytes(UINT format);  // without the terminating zero(s)
std::wstring ClipboardUnicode();
bool ClipboardHas(UINT format);
// Replaces the clipboard's content by `text` (CF_UNICODETEXT), as another program's copy would.
bool PutOnClipboard(const std::wstring& text);  // data of the format is there (or can be made from what is there)

// --- Text --------------------------------------------------------------------------------------------
// Lines and cells of table and log text: text_lines.h, included above.
std::wstring FromCp1251(const std::string& bytes);
std::string ToCp1251(const std::wstring& text);
std::string ToUtf8(const std::wstring& text);  // as the stand-ins log text, and for test messages

}  // namespace harness
