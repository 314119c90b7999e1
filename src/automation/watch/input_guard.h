// Keeps a run's input on the windows it is meant for. At "СТАРТ" every position the run will click
// must lie in one top-level window: the page of the designer (in spreadsheet mode the sheet's
// window). During the run
// - a click goes out only while the page is under its point and in front (or this program is, whose
//   own "СТАРТ" was just pressed: the click itself brings the page forward);
// - while a barcode's wizard is expected, a key goes out only while a window of the page's program
//   that was not open before this barcode's double-click is in front: its wizard, never the page
//   itself, a question box of the designer or another of its documents; once that window is known
//   as the wizard, only while that very window is in front (not a question that came up over it);
// - any other key (Page Down, a cell's keys, Ctrl+Page Down) only while the page is in front.
// Once input was held back nothing more goes out, PendingStop() says kWrongWindow and HeldBack()
// tells what was in the way and what to do.
#pragma once
#include "automation/positions/coordinates.h"
#include "automation/input/machine.h"

#include <cstddef>
#include <string>
#include <vector>

// The window a run sends its input to, found from the positions it will click: barcode i of every
// page uses positions[i mod n] for i below `perPage` and `total`.
struct InputTarget {
    WindowOwner page;
    std::string refusal;  // set when the positions do not all lie in one window of another program
};
InputTarget FindInputTarget(Machine& machine, const std::vector<Position>& positions, long long perPage,
                            long long total);
// Why a run cannot drive `page` now (empty when it can): its program runs with higher rights than
// ours, or a window of its own (a wizard left open by a stop, a question) holds it disabled.
std::string PageRefusal(Machine& machine, const WindowOwner& page);

class InputGuard : public Machine {
public:
    static constexpr unsigned kFrontSettleMs = 100;
    static constexpr unsigned kFrontPollMs = 10;
    static constexpr unsigned kBringForwardMs = 1000;

    InputGuard(Machine& inner, const WindowOwner& page) : inner_(inner), page_(page) {}
    const std::string& HeldBack() const { return heldBack_; }

    // Before the double-click of capture `capture` (0-based) at `at`: the page's program's windows
    // open now are not this barcode's wizard; input goes to the page.
    void BeginBarcode(std::size_t capture, const Position& at);
    // Keys go to the wizard from now on; it was given `waitedMs` to open (the stop message says so).
    void ExpectWizard(unsigned waitedMs);
    // Input goes to the page again: the wizard has closed.
    void ExpectPage() { expectWizard_ = false; }
    // This barcode's wizard is in front with the keyboard focus inside it (then noted as the wizard).
    bool WizardReady();
    // The wizard noted is gone and the page is in front again, taking input (no window of the
    // designer holds it disabled).
    bool WizardClosed();
    // Whether the next key may go to the window in front now; when not, input is held back.
    bool FrontTakesKeys() { return shut_ ? false : FrontIsRight(); }
    // Holds back all further input: the wizard did not close within `waitedMs`, or something else
    // came in front after it.
    void HoldBackUnclosed(unsigned waitedMs);
    // Holds back all further input for a reason of the run's own (a value the wizard did not take);
    // `why` is the stop message.
    void StopWith(const std::string& why) { HoldBack(why); }
    // This barcode's wizard (once seen) is still among the designer's windows.
    bool WizardStillOpen();
    // This barcode's wizard (once seen) is the window in front.
    bool WizardInFront() { return wizard_ && inner_.FrontWindow().window == wizard_; }
    // After the opening wait with no wizard: whether a second double-click is safe. No window of the
    // designer came up since the first, the designer answers messages, and the page takes input
    // and shows `pageBefore` (the picture taken before the first).
    bool DoubleClickIgnored(const PagePicture& pageBefore);
    // A new window of the designer came up since this barcode's double-click.
    bool NewWindowOfPageOpen();
    // After this barcode's double-click was tried twice and its wizard has closed: the first
    // double-click may still open a wizard until `untilMs` (the opening's ceiling). Watched for until
    // then; a new window of the designer that comes in front (or holds the page disabled) holds input
    // back, so the next barcode's double-click cannot take it for its own wizard.
    void WatchForLateWizard(long long untilMs);
    // "захвата N (x, y)": the barcode under way, as messages name it.
    std::string CaptureText() const;
    // «title» программы name.exe of the window taken for this barcode's wizard; empty before one.
    std::string WizardName() { return wizard_ ? Name({wizard_, page_.process}) : std::string(); }
    // The field of this barcode's wizard that has the focus; kNoField before the wizard was seen.
    FieldRead ReadWizardField(std::size_t maxChars);
    // Asks for the page in front and waits a moment until it is there: a continued run whose first
    // input is a key (a page turn) begins with this program's own window in front.
    void BringPageForward();
    // The page window's picture now.
    PagePicture PictureOfPage() { return inner_.PictureOf(page_.window); }
    // The page is the window in front: its picture shows the page, not a window of the designer over it.
    bool PageInFront() { return inner_.FrontWindow().window == page_.window; }
    // The same with the regions around `around` (the page's captured positions).
    PagePicture PictureOfPage(const std::vector<Position>& around) { return inner_.PictureAround(page_.window, around); }
    // The picture of this barcode's wizard (once seen) now.
    PagePicture PictureOfWizard();
    // Page Down keys the system took: whether a page turn happened.
    unsigned long long PageKeysSent() const { return pageKeysSent_; }

    void SetCursor(int x, int y) override;
    void SendMouseButtons(int x, int y, const std::vector<unsigned>& flags) override;
    bool SendUnicodeKey(char16_t unit, bool release) override;
    bool SendVirtualKey(unsigned char vk, bool release) override;
    void Sleep(unsigned ms) override;
    StopCause PendingStop() override;

    KeyboardLayout ForegroundKeyboardLayout() override { return inner_.ForegroundKeyboardLayout(); }
    bool CapsLockOn() override { return inner_.CapsLockOn(); }
    std::optional<LayoutKey> KeyForCharacter(char16_t unit, KeyboardLayout layout) override {
        return inner_.KeyForCharacter(unit, layout);
    }
    char16_t CharacterOfKey(const LayoutKey& key, bool capsLock, KeyboardLayout layout) override {
        return inner_.CharacterOfKey(key, capsLock, layout);
    }
    ScreenArea VirtualScreen() override { return inner_.VirtualScreen(); }
    bool PauseDown() override { return inner_.PauseDown(); }
    void PumpMessages() override { inner_.PumpMessages(); }
    void InstallEscapeHook() override { inner_.InstallEscapeHook(); }
    void RemoveEscapeHook() override { inner_.RemoveEscapeHook(); }
    void BeginPreciseTiming() override { inner_.BeginPreciseTiming(); }
    void EndPreciseTiming() override { inner_.EndPreciseTiming(); }
    long long NowMs() override { return inner_.NowMs(); }
    std::string LocalTimestamp() override { return inner_.LocalTimestamp(); }
    void BringToFront(std::uintptr_t window) override { inner_.BringToFront(window); }
    FieldRead ReadFocusedField(std::uintptr_t window, std::size_t maxChars) override {
        return inner_.ReadFocusedField(window, maxChars);
    }
    void FlashMainWindow() override { inner_.FlashMainWindow(); }
    void ShowMessage(const std::string& text, const std::string& caption, bool informationIcon) override {
        inner_.ShowMessage(text, caption, informationIcon);
    }
    Answer Ask(const std::string& text, const std::string& caption) override { return inner_.Ask(text, caption); }
    Answer Confirm(const std::string& text, const std::string& caption) override {
        return inner_.Confirm(text, caption);
    }
    void ShowProgress(const RunProgress& progress) override { inner_.ShowProgress(progress); }
    WindowOwner WindowAt(int x, int y) override { return inner_.WindowAt(x, y); }
    WindowOwner FrontWindow() override { return inner_.FrontWindow(); }
    unsigned long OwnProcess() override { return inner_.OwnProcess(); }
    std::vector<std::uintptr_t> WindowsOf(unsigned long process) override { return inner_.WindowsOf(process); }
    bool FocusInside(std::uintptr_t window) override { return inner_.FocusInside(window); }
    bool HasHigherRights(unsigned long process) override { return inner_.HasHigherRights(process); }
    std::uintptr_t ModalOver(std::uintptr_t window) override { return inner_.ModalOver(window); }
    bool Answers(std::uintptr_t window) override { return inner_.Answers(window); }
    std::string WindowTitle(std::uintptr_t window) override { return inner_.WindowTitle(window); }
    std::string ProgramName(unsigned long process) override { return inner_.ProgramName(process); }
    PagePicture PictureOf(std::uintptr_t window) override { return inner_.PictureOf(window); }
    PagePicture PictureAround(std::uintptr_t window, const std::vector<Position>& around) override {
        return inner_.PictureAround(window, around);
    }
    std::vector<PlacedWindow> WindowsOfKind(const std::string& program, const std::string& className) override {
        return inner_.WindowsOfKind(program, className);
    }
    void PositionsFollowed(const std::vector<Position>& moved) override { inner_.PositionsFollowed(moved); }

private:
    bool ClickMayGo(int x, int y);
    bool KeyMayGo(bool release);
    bool FrontIsRight();
    bool IsNewWindowOfPage(const WindowOwner& owner) const;
    bool WasOpenBefore(std::uintptr_t window) const;
    void HoldBack(const std::string& why);
    std::string Name(const WindowOwner& owner);
    std::string WrongFront(const WindowOwner& front);
    std::string WizardText() const;

    Machine& inner_;
    WindowOwner page_;
    bool expectWizard_ = false;
    std::vector<std::uintptr_t> openBefore_;  // the page's program's windows before the double-click
    std::uintptr_t wizard_ = 0;               // this barcode's wizard once seen
    std::size_t capture_ = 0;
    Position at_;
    unsigned waitedMs_ = 0;
    int keysDown_ = 0;      // keys of ours pressed and not yet released
    unsigned long long pageKeysSent_ = 0;
    bool enterSent_ = false;  // an Enter went to this barcode's wizard
    bool shut_ = false;     // input was held back: nothing more goes out
    std::string heldBack_;  // the message of the stop, when a window was in the way
};
