// A machine for tests: records every event of a run with the time of a virtual clock, which only
// waits advance; Escape, Pause and the closing of the window are scheduled on that clock. The
// window in front has a fake keyboard layout (US unless a test says otherwise). Every point is on
// the designer's page unless a test says otherwise, and the designer behaves: a double-click on
// the page opens its wizard in front, the third Enter closes it (after the times a test sets).
#pragma once
#include "automation/input/machine.h"
#include "automation/input/input.h"
#include "automation/watch/read_back.h"
#include "fake_layouts.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct RecordingMachine : Machine {
    struct Event {
        long long at;
        std::string what;
    };
    std::vector<Event> events;
    long long now = 0;
    long long escapeAt = -1;       // Escape seen from this time on
    long long pauseFrom = -1;      // Pause held from this time on
    long long closedAt = -1;       // main window gone from this time on
    std::function<void()> onPump;  // what the pump dispatches
    std::vector<std::pair<long long, RunProgress>> progress;  // apart from `events`, which tests compare whole
    bool hookInstalled = false;
    bool preciseTiming = false;
    const FakeLayout* layout = &UsLayout();  // of the window in front
    bool capsLock = false;
    long long inputBlockedAt = -1;  // from then on the system refuses input
    ScreenArea screen{0, 0, 1 << 20, 1 << 20};  // every point of the worked examples is on it
    std::vector<long long> layoutReadAt;     // when the layout in front was asked for

    void Log(const std::string& what) { events.push_back({now, what}); }
    static std::string Hex(unsigned value, int digits) {
        char text[16];
        std::snprintf(text, sizeof text, "%0*X", digits, value);
        return text;
    }

    void SetCursor(int x, int y) override { Log("cursor " + std::to_string(x) + "," + std::to_string(y)); }
    void SendMouseButtons(int x, int y, const std::vector<unsigned>& flags) override {
        std::string what = "mouse";
        for (unsigned f : flags) what += " " + std::to_string(f);
        Log(what + " at " + std::to_string(x) + "," + std::to_string(y));
        const bool ignored = flags.size() == 4 && ignoresDoubleClick && ignoresDoubleClick(doubleClicks++);
        if (ignored) Log("ignored");
        if (flags.size() == 4) lastClick = {x, y};
        if (!ignored && wizardOnDoubleClick && flags.size() == 4 && WindowAt(x, y).window == kPage.window && !WizardOpen()) {
            wizardOpenAt = wizardOpensAfter < 0 ? kNever : now + wizardOpensAfter;
            wizardCloseAt = kNever;
            wizardEnters = 0;
            field = fieldOpensWith;
            caret = field.size();
            selected = false;
            arriving.clear();
        }
    }
    // The system refuses input from `inputBlockedAt` on: the event is logged, nothing arrives.
    bool Refused() const { return inputBlockedAt >= 0 && now >= inputBlockedAt; }
    bool SendUnicodeKey(char16_t unit, bool release) override {
        Log(std::string(release ? "char- " : "char+ ") + Hex(unit, 4));
        if (Refused()) return false;
        if (!release && !wizardOnDoubleClick) Draw(now);  // a cell shows what is typed into it
        if (!release && WizardOpen()) {
            const bool lost = (loseChar && loseChar(keysTyped)) || FocusOnButton();
            ++keysTyped;
            const long long after = arriving.empty() ? now : std::max(now, arriving.back().first);
            if (!lost) arriving.push_back({after + fieldLagMs, Cp1251Of(unit)});
        }
        return true;
    }
    std::function<void(unsigned char vk)> onKey;  // told of each key pressed, after it is logged
    bool SendVirtualKey(unsigned char vk, bool release) override {
        Log(std::string(release ? "key- " : "key+ ") + Hex(vk, 2));
        if (Refused()) return false;
        if (!release && onKey) onKey(vk);
        if (!release && !wizardOnDoubleClick && vk >= 0x30) Draw(now);  // a character key into a cell
        if (WizardOpen()) FieldKey(vk, release);
        if (vk == 0x22 && !release && !WizardOpen() && (lastPage == 0 || pageShown < lastPage))
            pageTurnAt = now + pageTurnLagMs;
        if (vk == 0x0D && !release && WizardOpen() && ++wizardEnters == 3) {
            wizardCloseAt = wizardClosesAfter < 0 ? kNever : now + wizardClosesAfter;
            if (wizardClosesAfter >= 0) Draw(wizardCloseAt + drawLateMs);
        } else if (vk == 0x0D && !release && !wizardOnDoubleClick) {
            commitsAt.push_back(now + commitLateMs);  // the cell's edit ends: the selection moves down
            Draw(now + commitLateMs);
        }
        return true;
    }
    KeyboardLayout ForegroundKeyboardLayout() override {
        layoutReadAt.push_back(now);
        return layout->id;
    }
    bool CapsLockOn() override { return capsLock; }
    std::optional<LayoutKey> KeyForCharacter(char16_t unit, KeyboardLayout id) override {
        return FakeLayoutById(id).KeyFor(unit);
    }
    char16_t CharacterOfKey(const LayoutKey& key, bool caps, KeyboardLayout id) override {
        return FakeLayoutById(id).CharacterOf(key, caps);
    }
    std::function<void()> onSleep;  // at the start of every wait
    void Sleep(unsigned ms) override {
        Log("wait " + std::to_string(ms));
        if (onSleep) onSleep();
        long long end = now + ms;
        for (long long stop : {escapeAt, closedAt})
            if (stop >= now && stop < end) end = stop;
        now = end;
    }
    bool PauseDown() override { return pauseFrom >= 0 && now >= pauseFrom; }
    StopCause PendingStop() override {
        if (closedAt >= 0 && now >= closedAt) return StopCause::kClosed;
        if (hookInstalled && escapeAt >= 0 && now >= escapeAt) return StopCause::kEscape;
        if (inputBlockedAt >= 0 && now >= inputBlockedAt) return StopCause::kInputBlocked;
        return StopCause::kNone;
    }
    void PumpMessages() override {
        Log("pump");
        if (onPump) onPump();
    }
    void InstallEscapeHook() override {
        hookInstalled = true;
        Log("hook on");
    }
    void RemoveEscapeHook() override {
        if (hookInstalled) Log("hook off");
        hookInstalled = false;
    }
    void BeginPreciseTiming() override { preciseTiming = true; }
    void EndPreciseTiming() override { preciseTiming = false; }
    long long NowMs() override { return now; }
    std::string LocalTimestamp() override { return "2026-12-08 10:00:00." + std::to_string(now); }
    void BringToFront(std::uintptr_t window) override { Log("front " + Hex(static_cast<unsigned>(window), 2)); }
    ScreenArea VirtualScreen() override { return screen; }
    void FlashMainWindow() override { Log("flash"); }
    void ShowMessage(const std::string& text, const std::string& caption, bool informationIcon) override {
        Log("message " + caption + (informationIcon ? " (i): " : ": ") + text);
    }
    void ShowProgress(const RunProgress& shown) override { progress.push_back({now, shown}); }
    Answer answer = Answer::kYes;  // to the question at "СТАРТ"
    std::function<void()> onAsk;    // what the user does while the question is open
    Answer Ask(const std::string& text, const std::string& caption) override {
        Log("ask " + caption + ": " + text);
        if (onAsk) onAsk();
        return answer;
    }
    // The question about values entered before: kept apart from `events` with the count of events
    // before it, so that the tests of runs that repeat values on purpose compare their events as
    // they are. Answered "Да" unless a test says otherwise.
    struct Question {
        std::size_t eventsBefore;
        std::string caption, text;
    };
    std::vector<Question> confirmations;
    Answer confirmAnswer = Answer::kYes;
    Answer Confirm(const std::string& text, const std::string& caption) override {
        confirmations.push_back({events.size(), caption, text});
        return confirmAnswer;
    }

    // --- where input lands: windows 0xN0 belong to process N00, named "window N0" and "programN.exe"
    static constexpr unsigned long kOwnProcess = 100;
    static WindowOwner Window(unsigned n) { return {n * 0x10u, n * 100ul}; }
    static constexpr WindowOwner kPage = {0x20, 200};    // the designer's page
    static constexpr WindowOwner kWizard = {0x21, 200};  // its wizard
    static constexpr long long kNever = 1LL << 62;
    std::function<WindowOwner(int x, int y)> windowAt;  // null: the page everywhere
    std::function<WindowOwner()> frontWindow;           // null: DesignerFront()
    WindowOwner WindowAt(int x, int y) override { return windowAt ? windowAt(x, y) : kPage; }
    WindowOwner FrontWindow() override { return frontWindow ? frontWindow() : DesignerFront(); }
    unsigned long OwnProcess() override { return kOwnProcess; }

    // The designer: its wizard opens `wizardOpensAfter` ms after a double-click on the page (never
    // when negative) with the focus inside `focusAfter` ms later, and closes `wizardClosesAfter` ms
    // after the third Enter it takes (never when negative). A spreadsheet opens no wizard.
    bool wizardOnDoubleClick = true;
    std::function<bool(int before)> ignoresDoubleClick;  // given the double-clicks before this one
    int doubleClicks = 0;
    long long wizardOpensAfter = 0, focusAfter = 0, wizardClosesAfter = 0;
    long long wizardOpenAt = kNever, wizardCloseAt = kNever;
    int wizardEnters = 0;
    std::vector<std::uintptr_t> designerWindows = {kPage.window};  // open besides the wizard
    bool higherRights = false;
    std::uintptr_t modalOver = 0;  // a window of the designer holding the page disabled
    bool WizardOpen() const { return now >= wizardOpenAt && now < wizardCloseAt; }
    WindowOwner DesignerFront() const { return WizardOpen() ? kWizard : kPage; }
    std::vector<std::uintptr_t> WindowsOf(unsigned long process) override {
        if (process != kPage.process) return {};
        std::vector<std::uintptr_t> open = designerWindows;
        if (WizardOpen()) open.push_back(kWizard.window);
        return open;
    }
    bool FocusInside(std::uintptr_t window) override {
        return window != kWizard.window || (WizardOpen() && now >= wizardOpenAt + focusAfter);
    }
    bool HasHigherRights(unsigned long) override { return higherRights; }

    // The wizard's field: it opens holding `fieldOpensWith` with the caret after it and takes the
    // characters typed while the wizard is open, each `fieldLagMs` after it went out or after the
    // one before, whichever is later (a designer that takes that long a character), up to
    // `fieldLimit`; `loseChar` (given the count of characters typed before) may lose one. Home,
    // Shift+End and Delete empty it. `fieldAnswers` says how it answers a read at a time;
    // `fieldHidesText` makes it answer with no text while its caret moves (a field that keeps its
    // text to itself). For `buttonFocusFor` ms after the wizard opens (kNever: for good) the focus
    // is on its "Next" button instead, and typed characters are lost.
    std::string fieldOpensWith;
    bool fieldHidesText = false;
    long long buttonFocusFor = 0;
    bool FocusOnButton() const { return WizardOpen() && now < wizardOpenAt + buttonFocusFor; }
    long long fieldLagMs = 0;
    size_t fieldLimit = std::string::npos;
    std::function<bool(int typedBefore)> loseChar;
    std::function<FieldRead::State(long long at)> fieldAnswers;  // null: its text
    std::string field;
    size_t caret = 0;
    bool selected = false;  // the whole text, after Home and Shift+End
    bool shiftHeld = false;
    int keysTyped = 0;
    std::vector<std::pair<long long, char>> arriving;
    int fieldReads = 0;

    static char Cp1251Of(char16_t unit) {
        for (int c = 0; c < 256; ++c)
            if (Utf16FromCp1251(static_cast<unsigned char>(c)) == unit) return static_cast<char>(c);
        return '?';
    }
    void Arrive() {
        size_t taken = 0;
        for (; taken < arriving.size() && arriving[taken].first <= now; ++taken) {
            if (selected) field.clear(), caret = 0, selected = false;
            if (field.size() < fieldLimit) field.insert(caret++, 1, arriving[taken].second);
        }
        arriving.erase(arriving.begin(), arriving.begin() + static_cast<long>(taken));
    }
    void FieldKey(unsigned char vk, bool release) {
        Arrive();
        if (vk == 0x10) shiftHeld = !release;
        if (release) return;
        if (vk == 0x24) caret = 0, selected = false;
        if (vk == 0x23) selected = shiftHeld && caret == 0, caret = field.size();
        if (vk == 0x2E && selected) field.clear(), caret = 0, selected = false;
    }
    FieldRead ReadFocusedField(std::uintptr_t window, size_t maxChars) override {
        ++fieldReads;
        FieldRead read;
        read.state = FieldRead::State::kNoField;
        if (window != kWizard.window || !FocusInside(window) || !WizardOpen()) return read;
        read.state = fieldAnswers ? fieldAnswers(now) : FieldRead::State::kText;
        Arrive();
        if (FocusOnButton()) {
            read.controlClass = "Button";
            read.dialogCode = kDlgDefPushButton | kDlgButton;
            if (read.state == FieldRead::State::kText) read.text = "&Next";
            return read;
        }
        read.controlClass = "Edit";
        read.dialogCode = kDlgHasSetSel | kDlgWantChars;
        read.caret = static_cast<long long>(caret);
        if (read.state == FieldRead::State::kText && !fieldHidesText) read.text = field.substr(0, maxChars);
        return read;
    }
    long long pageHeldUntil = -1;  // till then a window of the designer holds the page disabled too
    std::uintptr_t ModalOver(std::uintptr_t) override { return now < pageHeldUntil ? kWizard.window : modalOver; }
    long long hungUntil = -1;  // till then the designer answers no message
    bool Answers(std::uintptr_t) override { return now >= hungUntil; }

    // Top-level windows by program and class, highest first (none unless a test says); the rows the
    // positions followed to are logged.
    struct KindOfWindow {
        std::string program, className;
        PlacedWindow placed;
    };
    std::vector<KindOfWindow> windowsOfKind;
    std::vector<PlacedWindow> WindowsOfKind(const std::string& program, const std::string& className) override {
        std::vector<PlacedWindow> out;
        for (const KindOfWindow& k : windowsOfKind)
            if (k.program == program && k.className == className) out.push_back(k.placed);
        return out;
    }
    void PositionsFollowed(const std::vector<Position>& moved) override {
        std::string what = "rows";
        for (const Position& p : moved) what += " " + std::to_string(p.x) + "," + std::to_string(p.y);
        Log(what);
    }

    // The page's picture shows its page number. Page Down outside a wizard turns the page
    // `pageTurnLagMs` later, unless the document ends at `lastPage` (0: it never ends); with
    // `pictureFails` no picture can be taken. At each of `repaintsAt` the page's picture changes on
    // its own page (a value drawn late on its object).
    long long pageShown = 1, lastPage = 0, pageTurnLagMs = 0, pageTurnAt = kNever;
    bool pictureFails = false;
    std::vector<long long> repaintsAt;
    std::vector<long long> picturesAt;  // when the page was looked at
    // The wizard's picture shows its step (the Enters it took) unless its steps look alike; with
    // `wizardAnimationMs` it also moves on its own (an animated button: another frame that often);
    // from each of `wizardRedrawsAt` on it shows something more (a preview drawn late).
    bool stepsLookAlike = false;
    long long wizardAnimationMs = 0;
    std::vector<long long> wizardRedrawsAt;
    // The objects: each shows what was drawn on it last on the page shown. A wizard that closes
    // draws its value on the object double-clicked `drawLateMs` later (never with `drawsAsBefore`:
    // a value that looks as the one before it did); a spreadsheet's cell draws each typed key and
    // its commit by Enter `commitLateMs` later (the selection moves then too). Pages are alike but
    // for what was drawn on them. `overlay` puts something over a region for a while (a tooltip, a
    // blinking mark): what it shows there at a time, 0 for nothing.
    struct Drawing {
        long long page = 0;
        Position at;
        long long when = 0;
    };
    std::vector<Drawing> drawings;
    Position lastClick;
    long long drawLateMs = 0, commitLateMs = 0;
    bool drawsAsBefore = false;
    std::vector<long long> commitsAt;
    std::function<std::uint64_t(const Position& at, long long now)> overlay;
    long long Page() {
        if (now >= pageTurnAt) ++pageShown, pageTurnAt = kNever;
        return pageShown;
    }
    void Draw(long long when) {
        if (!drawsAsBefore) drawings.push_back({Page(), lastClick, when});
    }
    std::uint64_t Region(const Position& at) {
        std::uint64_t region = static_cast<std::uint64_t>(at.x) * 100003u + static_cast<std::uint64_t>(at.y);
        for (size_t i = 0; i < drawings.size(); ++i) {
            const Drawing& d = drawings[i];
            if (d.page == pageShown && d.at.x == at.x && d.at.y == at.y && d.when <= now) region = region * 31 + i + 1;
        }
        if (overlay) region ^= overlay(at, now) << 40;
        return region;
    }
    PagePicture PictureAround(std::uintptr_t window, const std::vector<Position>& around) override {
        PagePicture picture = PictureOf(window);
        if (!picture.taken) return picture;
        for (const Position& at : around) picture.regions.push_back(Region(at));
        const auto commits = std::count_if(commitsAt.begin(), commitsAt.end(), [&](long long t) { return t <= now; });
        picture.digest += static_cast<std::uint64_t>(commits) << 20;
        return picture;
    }
    PagePicture PictureOf(std::uintptr_t window) override {
        if (window == kWizard.window) {
            PagePicture wizard;
            wizard.taken = WizardOpen();
            wizard.width = 400;
            wizard.height = 100;
            wizard.digest = stepsLookAlike ? 0 : static_cast<std::uint64_t>(wizardEnters);
            if (wizardAnimationMs > 0) wizard.digest += 100 * static_cast<std::uint64_t>(now / wizardAnimationMs % 7);
            for (long long at : wizardRedrawsAt)
                if (now >= at) wizard.digest += 1000;
            return wizard;
        }
        picturesAt.push_back(now);
        Page();
        PagePicture picture;
        picture.taken = !pictureFails;
        picture.width = 1000;
        picture.height = 800;
        const auto repaints = std::count_if(repaintsAt.begin(), repaintsAt.end(), [&](long long t) { return t <= now; });
        picture.digest = static_cast<std::uint64_t>(pageShown + 1000 * repaints);
        return picture;
    }
    std::string WindowTitle(std::uintptr_t window) override { return "window " + Hex(static_cast<unsigned>(window), 2); }
    std::string ProgramName(unsigned long process) override { return "program" + std::to_string(process / 100) + ".exe"; }

    // --- reading the record ----------------------------------------------------------------------
    std::vector<std::string> What() const {
        std::vector<std::string> out;
        for (const Event& e : events) out.push_back(e.what);
        return out;
    }
    // Events whose text begins with `kind`.
    std::vector<Event> Only(const std::string& kind) const {
        std::vector<Event> out;
        for (const Event& e : events)
            if (e.what.compare(0, kind.size(), kind) == 0) out.push_back(e);
        return out;
    }
    // The characters typed as Unicode key presses (down events), as code units.
    std::u16string Typed() const {
        std::u16string out;
        for (const Event& e : Only("char+ ")) out += static_cast<char16_t>(std::stoul(e.what.substr(6), nullptr, 16));
        return out;
    }
    // What a window with `keys` as its layout receives from the key events: the characters of the
    // keys under the modifiers held, and the Unicode characters.
    std::u16string Received(const FakeLayout& keys, bool caps) const {
        std::u16string out;
        LayoutKey held;
        for (const Event& e : events) {
            if (e.what.rfind("char+ ", 0) == 0) out += static_cast<char16_t>(std::stoul(e.what.substr(6), nullptr, 16));
            if (e.what.rfind("key", 0) != 0) continue;
            const bool down = e.what[3] == '+';
            const auto vk = static_cast<unsigned char>(std::stoul(e.what.substr(5), nullptr, 16));
            if (vk == 0x10) held.shift = down;
            else if (vk == 0x11) held.ctrl = down;
            else if (vk == 0x12) held.alt = down;
            else if (down) out += keys.CharacterOf({vk, held.shift, held.ctrl, held.alt}, caps);
        }
        return out;
    }
    bool HasInputAfter(long long at) const {
        for (const Event& e : events)
            if (e.at >= at && (e.what.rfind("cursor", 0) == 0 || e.what.rfind("mouse", 0) == 0 ||
                               e.what.rfind("char", 0) == 0 || e.what.rfind("key", 0) == 0))
                return true;
        return false;
    }
};
