// What the input primitives and the automation run need from the machine they drive: the cursor,
// mouse and keyboard events, the keyboard layout in force, waiting, the Pause key, the message pump,
// the Escape hook, message boxes and which application's window input would reach. The exe binds it
// to the real system calls; tests bind it to a recorder with a virtual clock.
#pragma once
#include "automation/positions/coordinates.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Why a run has to end before its next input.
enum class StopCause {
    kNone,
    kEscape,       // Escape was pressed while the run's hook was installed
    kClosed,       // the main window went away (the application is quitting)
    kWrongWindow,  // the next input had no right window to go to (see InputGuard)
    kInputBlocked, // the system refused input it was given (a program with higher rights, a locked screen)
};

// Where a run stands, as the main window's caption and taskbar button show it.
struct RunProgress {
    // kInterrupted: found unfinished at start-up, the program having closed during it.
    enum class State { kRunning, kStopped, kFinished, kInterrupted };
    State state = State::kRunning;
    long long stored = 0;  // barcodes whose last Enter (or cell) has gone out
    long long total = 0;
    double msLeft = 0;     // running: the waits of the schedule still to come
    std::string next;      // stopped: the value that would have been typed next, prefix included
    std::string note;      // running: said before the count for a moment (the positions followed their window);
                           // stopped: why, when it is not the user's or a fault's (a trial run)
};

// What reading the focused field of a window gave: its text, or why there is none to read.
struct FieldRead {
    enum class State {
        kText,      // `text` is what the field holds (code page 1251)
        kNoField,   // no child window of the window has the focus
        kPassword,  // a password field: the system gives other programs no text from it
        kFailed,    // the field did not answer in time (or the read was refused)
    };
    State state = State::kFailed;
    std::string text;
    // Every character of `text` is the field's own; when not, a '?' stands for a character that code
    // page 1251 has no place for, and the text equals no value.
    bool exact = true;
    // The focused control itself, whatever the state of its text: its window class, its
    // WM_GETDLGCODE answer (which keys it wants) and the end of its selection (an edit's caret; -1
    // when it has none). They tell a field that takes text from a button that does not, and keys
    // that never arrived from a field that keeps its text to itself.
    std::string controlClass;
    unsigned dialogCode = 0;
    long long caret = -1;
    bool operator==(const FieldRead& o) const { return state == o.state && text == o.text; }
};

// A picture of a window's client area as the screen shows it (physical pixels), with the caret of
// the window's thread left out, so that a blinking caret is no change: its size and a digest of its
// pixels. Not `taken` when the window has no area on the screen or the screen could not be read.
struct PagePicture {
    bool taken = false;
    int width = 0, height = 0;
    std::uint64_t digest = 0;
    // When asked for around points: the digest of the region around each (see page_evidence.h),
    // in the order asked; a region reaching outside the window takes what lies inside.
    std::vector<std::uint64_t> regions;
};

// Mouse button flags as the system's mouse input records carry them.
constexpr unsigned kMouseLeftDown = 0x0002;
constexpr unsigned kMouseLeftUp = 0x0004;

// A keyboard layout as the system names it (an opaque handle).
using KeyboardLayout = std::uintptr_t;

// A key of a layout with the modifiers held while it is pressed.
struct LayoutKey {
    unsigned char vk = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool operator==(const LayoutKey& o) const {
        return vk == o.vk && shift == o.shift && ctrl == o.ctrl && alt == o.alt;
    }
};

struct Machine {
    virtual ~Machine() = default;

    // --- input -----------------------------------------------------------------------------------
    virtual void SetCursor(int x, int y) = 0;
    // All records in one call, each carrying the point, so the clicks land there even if the cursor
    // was moved after it was put on the point.
    virtual void SendMouseButtons(int x, int y, const std::vector<unsigned>& flags) = 0;
    // Each key event says whether it went out: false when it was held back or the system refused it.
    virtual bool SendUnicodeKey(char16_t unit, bool release) = 0;          // the character itself
    virtual bool SendVirtualKey(unsigned char vk, bool release) = 0;       // one key of the keyboard

    // --- keyboard layout -------------------------------------------------------------------------
    // A key means a character only through the layout of the thread that receives it: the thread of
    // the window in front.
    virtual KeyboardLayout ForegroundKeyboardLayout() = 0;
    virtual bool CapsLockOn() = 0;
    // The key the layout has for the character, as the system's key scan finds it; none when no key
    // of the layout types it.
    virtual std::optional<LayoutKey> KeyForCharacter(char16_t unit, KeyboardLayout layout) = 0;
    // What the key types in the layout with Caps Lock as given; 0 for nothing, a dead key or more
    // than one character.
    virtual char16_t CharacterOfKey(const LayoutKey& key, bool capsLock, KeyboardLayout layout) = 0;

    // --- time and control ------------------------------------------------------------------------
    // Waits `ms` milliseconds (never 0); may return early once PendingStop() is not kNone.
    virtual void Sleep(unsigned ms) = 0;
    virtual bool PauseDown() = 0;          // the Pause/Break key is held at this instant
    virtual StopCause PendingStop() = 0;
    virtual void PumpMessages() = 0;       // dispatches everything queued for the thread
    virtual void InstallEscapeHook() = 0;  // also forgets an Escape seen before
    virtual void RemoveEscapeHook() = 0;   // harmless when none is installed
    virtual void BeginPreciseTiming() = 0;
    virtual void EndPreciseTiming() = 0;   // harmless when not begun
    // Milliseconds on a steady clock: how long a read-back has waited.
    virtual long long NowMs() = 0;
    // The local time as "YYYY-MM-DD HH:MM:SS.mmm", for the journal.
    virtual std::string LocalTimestamp() = 0;

    // --- the screens -----------------------------------------------------------------------------
    // The rectangle spanning every monitor now, in screen pixels.
    virtual ScreenArea VirtualScreen() = 0;

    // --- the user --------------------------------------------------------------------------------
    virtual void FlashMainWindow() = 0;
    virtual void ShowMessage(const std::string& text, const std::string& caption, bool informationIcon) = 0;
    // A question with Yes, No and Cancel, owned by the main window.
    enum class Answer { kYes, kNo, kCancel };
    virtual Answer Ask(const std::string& text, const std::string& caption) = 0;
    // A question with Yes and No, No the default button (Enter answers it), owned by the main window:
    // kYes or kNo.
    virtual Answer Confirm(const std::string& text, const std::string& caption) = 0;

    // --- where input lands -----------------------------------------------------------------------
    // Asked before input goes out, so each answers in microseconds and sends the window no message.
    virtual WindowOwner WindowAt(int x, int y) = 0;  // the top-level window under a screen point
    virtual WindowOwner FrontWindow() = 0;           // the foreground window, which takes the keys
    virtual unsigned long OwnProcess() = 0;
    // The visible top-level windows of a process now: which of the designer's windows were open
    // before a double-click, and whether its wizard has gone.
    virtual std::vector<std::uintptr_t> WindowsOf(unsigned long process) = 0;
    // The keyboard focus lies in `window` or one of its children: typed keys would reach it.
    virtual bool FocusInside(std::uintptr_t window) = 0;
    // The process runs with higher rights than ours: the system drops our input to it unseen.
    virtual bool HasHigherRights(unsigned long process) = 0;
    // The window open over `window` while that one is disabled (a dialog, a wizard: the designer
    // waits for it), or `window` itself when it is disabled and nothing is found; 0 while it takes input.
    virtual std::uintptr_t ModalOver(std::uintptr_t window) = 0;
    // The window's thread answers a message within a short time-out (the program is not hung).
    virtual bool Answers(std::uintptr_t window) = 0;
    // For the messages that name a window in the way (code page 1251).
    virtual std::string WindowTitle(std::uintptr_t window) = 0;
    virtual std::string ProgramName(unsigned long process) = 0;  // the file name of its executable
    // Asks the system to put `window` in front (this program may: its own window is in front).
    virtual void BringToFront(std::uintptr_t window) = 0;
    // The text of the control that has the keyboard focus inside the top-level `window`, read
    // through messages with a short time-out (a hung program gives kFailed, never a hung run);
    // at most `maxChars` characters are taken.
    virtual FieldRead ReadFocusedField(std::uintptr_t window, std::size_t maxChars) = 0;

    // The visible top-level windows, not minimised, of the program with that file name and of that
    // class, the one highest in the z-order first: where the window positions were captured on is now.
    virtual std::vector<PlacedWindow> WindowsOfKind(const std::string& program, const std::string& className) = 0;
    // The positions moved with their window: the main window's rows show `moved` from now on.
    virtual void PositionsFollowed(const std::vector<Position>& moved) = 0;
    // The picture of `window` now: whether a page turn showed another page.
    virtual PagePicture PictureOf(std::uintptr_t window) = 0;
    // The same, with the regions around the screen points `around`: which objects of the page
    // show another picture.
    virtual PagePicture PictureAround(std::uintptr_t window, const std::vector<Position>& around) = 0;

    // --- the caption -----------------------------------------------------------------------------
    // After every barcode, at the start, after a stop and at the end.
    virtual void ShowProgress(const RunProgress& progress) = 0;
};
