// The run under way over the machine interface. Every wait reads `delays` when it begins; input
// stops at once when Escape was seen, the main window went away or the window it belongs to is not
// where it would land, and after a stop nothing more is sent. Window messages are dispatched only at
// the pump points, once per page and once per barcode.
#include "automation/run/run_under_way.h"

#include "automation/input/input.h"
#include "automation/input/wait_until.h"
#include "automation/run/run_messages.h"
#include "automation/run/run_progress.h"
#include "automation/run/run_repeats.h"
#include "automation/watch/page_turn.h"
#include "delays/delay_settings.h"
#include "platform/captions.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {
// The wait after typing: typingDelay per character and 50 ms more, bounded like every other wait.
int AfterTypingDelay(size_t length) {
    const long long total = static_cast<long long>(delays.typingDelay) * static_cast<long long>(length) + 50;
    return total > INT_MAX ? INT_MAX : total < INT_MIN ? INT_MIN : static_cast<int>(total);
}

// The characters of the barcodes before `from`.
double TypedCharsBefore(const RunInputs& inputs, const RunPlan& plan, long long from) {
    RunPlan head = plan;
    head.total = from;
    if (inputs.listMode) head.list.resize(static_cast<size_t>(from));
    return TypedChars(inputs, head);
}

// How the journal and the caption name the trial run's stop.
const char* const kTrialStopNote = "пробный запуск";

// A short reason for the journal: the stop message's first sentence.
std::string StopBrief(const std::string& message) {
    if (message == kStopMessage) return "Esc или Pause";
    std::string brief = message;
    const std::string lead = "Прогон остановлен: ";
    if (brief.compare(0, lead.size(), lead) == 0) brief.erase(0, lead.size());
    const size_t end = brief.find_first_of(".\n");
    return brief.substr(0, end);
}
}  // namespace

std::vector<Position> PagePlaces(const RunInputs& inputs, int perPage) {
    std::vector<Position> places;
    if (inputs.positions.empty()) return places;
    for (int c = 0; c < perPage; ++c) places.push_back(inputs.positions[static_cast<size_t>(c) % inputs.positions.size()]);
    return places;
}

RunUnderWay::RunUnderWay(Machine& machine, const RunInputs& inputs, const RunPlan& plan, const WindowOwner& page,
                         const ContinuePoint& start, const std::string& folder)
    : machine_(machine),
      guard_(machine, page),
      inputs_(inputs),
      plan_(plan),
      perPage_(inputs.perPage > 0 ? inputs.perPage : 1),
      wait_(MakeWizardWait(delays, inputs.excelMode)),
      start_(start),
      trial_(delays.trialRun && start == ContinuePoint{}),
      point_(start),
      charsLeft_(TypedChars(inputs, plan) - TypedCharsBefore(inputs, plan, start.next)),
      journal_(folder),
      files_(folder),
      pagePlaces_(PagePlaces(inputs, perPage_)),
      evidence_(PageRules{PageTurnCeilingMs(delays.pageSwitchDelay),
                          wait_->FixedSchedule() ? static_cast<long long>(kPictureSettleMs) : kPageQuietMs,
                          kPictureSettleBoundMs}) {}

// --- deciding --------------------------------------------------------------------------------------

bool RunUnderWay::MayGoOn() { return running_ && guard_.PendingStop() == StopCause::kNone; }

bool RunUnderWay::PauseHeld() { return guard_.PauseDown(); }

// --- ending ----------------------------------------------------------------------------------------

bool RunUnderWay::EndHere() {
    if (!running_) return false;
    switch (guard_.PendingStop()) {
        case StopCause::kEscape: Stop(kStopMessage, kStopCaption, true); break;
        case StopCause::kClosed: EndClosed(); break;
        case StopCause::kWrongWindow: Stop(guard_.HeldBack(), kErrorCaption, false); break;
        case StopCause::kInputBlocked: Stop(kInputBlockedMessage, kErrorCaption, false); break;
        case StopCause::kNone: break;
    }
    return false;
}

bool RunUnderWay::StopForUser() {
    Stop(kStopMessage, kStopCaption, true);
    return false;
}

// The trial run's first page is filled and its values stored: the user looks at it in the designer
// and goes on with "СТАРТ" and "Да", which sends the page key first.
bool RunUnderWay::StopAfterTrialPage() {
    Stop(TrialStopMessage(point_.next - start_.next, inputs_.excelMode), kTrialStopCaption, true, kTrialStopNote);
    return false;
}

// What every stop does before its message: the caption and the journal say where the run stopped,
// and the point is kept so that "СТАРТ" can go on from there.
void RunUnderWay::Stop(const std::string& message, const std::string& caption, bool informationIcon,
                       const std::string& note) {
    EndQuietly();
    SettleAtStop();
    RunProgress progress;
    progress.state = RunProgress::State::kStopped;
    progress.note = note;
    progress.stored = point_.next;
    progress.total = plan_.total;
    if (point_.next < plan_.total) {
        progress.next = RunValue(inputs_, plan_, point_.next);
        JournalRowOf(point_.next, "остановка: " + (note.empty() ? StopBrief(message) : note));
    }
    KeepPoint();
    machine_.ShowProgress(progress);
    machine_.FlashMainWindow();
    machine_.ShowMessage(message, caption, informationIcon);
}

// The main window went away during the run: no message, but the point is kept as at a stop.
void RunUnderWay::EndClosed() {
    EndQuietly();
    SettleAtStop();
    if (point_.next < plan_.total) JournalRowOf(point_.next, "остановка: программа закрыта");
    KeepPoint();
}

void RunUnderWay::EndQuietly() {
    running_ = false;
    machine_.RemoveEscapeHook();
    machine_.EndPreciseTiming();
}

// The point where this run stands, kept for the next "СТАРТ" with the same inputs; none once
// every barcode is stored (Escape can still come in the wait after the last Enter).
void RunUnderWay::KeepPoint() {
    if (point_.next < plan_.total) {
        left_ = RunStop{inputs_, point_};
        files_.Keep(point_);
    } else {
        files_.Forget();
    }
}

void RunUnderWay::Finish() {
    EndQuietly();
    files_.Forget();
    RunProgress finished;
    finished.state = RunProgress::State::kFinished;
    finished.stored = finished.total = plan_.total;
    machine_.ShowProgress(finished);
    std::string notes = journal_.Note();
    if (!repeats_.unread.empty()) notes += (notes.empty() ? "" : "\n") + repeats_.unread;
    machine_.ShowMessage(CompletionMessage(tally_, inputs_.excelMode, notes, NextRunWithoutRepeat(inputs_, plan_)),
                         kFinishedCaption, false);
}

// --- the record ------------------------------------------------------------------------------------

// Counted afresh each time from the delays in force, so settings applied during the run show;
// `gapWaited` when the wait after the barcode stored last is behind too.
void RunUnderWay::ShowRunning(bool gapWaited, const std::string& note) {
    RunProgress progress;
    progress.note = note;
    progress.stored = point_.next;
    progress.total = plan_.total;
    RunRemainder rest = RemainderAfter(point_.next, plan_.total, perPage_, charsLeft_, gapWaited);
    rest.typesAtOnce = !wait_->FixedSchedule() && !slowTyping_;
    if (!wait_->FixedSchedule()) {
        rest.pageTurnMs = turns_ > 0 ? turnMs_ / turns_ : 4 * kTurnLookMs;  // or the least a turn takes: two looks each side
        const long long storedHere = point_.next - start_.next;
        if (storedHere > 0 && firstClickAt_ >= 0)
            rest.msPerBarcode = (static_cast<double>(guard_.NowMs() - firstClickAt_) - turnMs_) / storedHere;
    }
    progress.msLeft = ScheduleMs(rest, inputs_.excelMode, delays);
    machine_.ShowProgress(progress);
}

void RunUnderWay::JournalRowOf(long long index, const std::string& result) {
    const BarcodePlace place = PlaceOf(inputs_, index);
    JournalRow row;
    row.time = machine_.LocalTimestamp();
    row.page = place.page + 1;
    row.capture = static_cast<long long>(place.capture) + 1;
    row.value = RunValue(inputs_, plan_, index);
    row.result = result;
    journal_.Append(row);
}

// A row of the journal that belongs to no barcode: page, capture and value stay empty.
JournalRow RunUnderWay::JournalRowWithout(const std::string& result) {
    JournalRow row;
    row.time = machine_.LocalTimestamp();
    row.page = row.capture = 0;
    row.result = result;
    return row;
}

// The point on disk follows the run's; when it cannot be written the run stops before its next
// input: a stale point left behind would offer to go on from the wrong value, and with none a crash
// (a full disk) would leave nothing to go on from.
void RunUnderWay::KeepOnDisk() {
    if (files_.Keep(point_) || guard_.PendingStop() != StopCause::kNone) return;
    const std::string why = files_.StaleLeft()
                                ? ", и не удалось удалить прежнюю запись: после перезапуска программа предложила бы "
                                  "продолжить не с того значения."
                                : ": если программа закроется или компьютер перезагрузится, продолжить будет не с чего.";
    guard_.StopWith("Прогон остановлен: не удалось записать в папку «" + files_.FolderName() +
                    "», с какого значения продолжать" + why +
                    "\nОсвободите место на диске или проверьте, что в эту папку можно писать, и нажмите СТАРТ "
                    "снова.\n\nПрограмма готова к новому запуску.");
}

// The record of a value the store decision (store_decision.h) found stored, if it found one: the
// point, the tally, the journal and the caption.
void RunUnderWay::Stored(const std::optional<StoredValue>& value, ShowStored show) {
    if (!value) return;
    const long long next = value->index + 1;
    point_ = ContinuePoint{next, next % perPage_ == 0 && next < plan_.total, false};
    KeepOnDisk();
    tally_.Stored(value->check, value->retyped);
    charsLeft_ -= static_cast<double>(TypedText(inputs_, RunValue(inputs_, plan_, value->index)).size());
    JournalRowOf(value->index, CheckResult(value->check));
    if (show != ShowStored::kNo && next < plan_.total) ShowRunning(show == ShowStored::kAfterGap);
}

// The run stops while a value's wizard was not looked at yet: stored only if the wizard is gone
// now, so that a value the designer did not take is typed again when the run goes on.
void RunUnderWay::SettleAtStop() {
    if (store_.InQuestion()) Stored(store_.RunStops(!guard_.WizardStillOpen()), ShowStored::kNo);
}

// The wizard whose closing was not looked at yet, looked at now that the next click is due: its
// value is stored once it is seen gone; false when it is still open (input is held back then).
bool RunUnderWay::ConfirmedClosed() {
    if (!store_.InQuestion()) return true;
    const bool gone = wait_->GoneAfterGap(guard_);
    Stored(store_.NextClickDue(gone), ShowStored::kAfterGap);
    return gone;
}

// --- the run ---------------------------------------------------------------------------------------

void RunUnderWay::Go(const WindowFollow& follow) {
    files_.Begin(inputs_);
    KeepOnDisk();
    running_ = true;
    machine_.InstallEscapeHook();
    machine_.BeginPreciseTiming();
    // The row each run begins with, so that the runs in the journal can be told apart.
    const std::string from = start_.next > 0 || start_.partial ? RunValue(inputs_, plan_, start_.next) : std::string();
    std::string startResult =
        RunStartResult(plan_.total, RunValue(inputs_, plan_, 0), from, wait_->FixedSchedule(), inputs_.excelMode);
    if (repeats_.repeated > 0) startResult += ", " + RepeatStartNote(repeats_.repeated);
    journal_.Begin(JournalRowWithout(startResult));
    if (!repeats_.unread.empty()) journal_.Append(JournalRowWithout(kJournalNoteLead + repeats_.unread));
    if (follow.moved) journal_.Append(JournalRowWithout(kJournalNoteLead + FollowNote(follow)));
    ShowRunning(true, follow.moved ? FollowNote(follow) : std::string());
    WaitDelay(guard_, delays.initialDelay);
    if (!MayGoOn()) {
        EndHere();
        return;
    }
    if (FillFrom(start_) && running_) Finish();
}

// The barcodes from `start` on, page by page: a page's pump point when a page begins (and where the
// run begins), then each barcode's pump point; false when the run was stopped or ended on the way.
bool RunUnderWay::FillFrom(const ContinuePoint& start) {
    if (start.turnDue) {
        // The page before was filled and its turn did not go out: it goes out first.
        guard_.BringPageForward();
        if (!TurnPage()) return false;
    }
    for (long long index = start.next; index < plan_.total; ++index) {
        const int i = static_cast<int>(index % perPage_);
        if (i == 0 || index == start.next) evidence_.NewPage(static_cast<size_t>(perPage_));
        for (int pumps = i == 0 || index == start.next ? 2 : 1; pumps > 0; --pumps) {
            guard_.PumpMessages();
            if (!MayGoOn()) return EndHere();
            if (PauseHeld()) return StopForUser();
        }
        const size_t capture = PlaceOf(inputs_, index).capture;
        const Position at = inputs_.positions[capture];
        if (PauseHeld()) return StopForUser();
        const std::string value = RunValue(inputs_, plan_, index);
        Typed typed;
        if (inputs_.excelMode) {
            typed.ok = FillCell(at, TypedText(inputs_, value), start.partial && index == start.next);
            typed.seen = WizardSeen::kGone;
        } else {
            typed = FillInWizard(capture, at, value, index + 1 == plan_.total);
        }
        if (!typed.ok) return EndHere();  // shows the stop, if not shown yet
        Stored(store_.LastInputOut({index, typed.check, typed.retyped}, typed.seen), ShowStored::kBeforeGap);
        if (!MayGoOn()) return EndHere();
        if (index + 1 < plan_.total) {
            if (PauseHeld()) return StopForUser();
            wait_->Gap(guard_, i + 1 == perPage_);
            if (!MayGoOn() || !ConfirmedClosed()) return EndHere();
            wait_->LateOpeningPassed(guard_);
            if (!MayGoOn()) return EndHere();
            if (trial_ && index + 1 == perPage_) return CommitLastCell() && StopAfterTrialPage();
            if (i + 1 == perPage_ && !TurnPage()) return false;
        }
    }
    return true;
}

// One barcode in wizard mode: open it, type the value and see it in the field, confirm three
// times, and see the wizard close (with the fixed delays, but for the last barcode, when the next
// click is due). Not ok when the run stops before the value is stored: the third Enter did not go
// out, or the wizard was seen still open after it.
RunUnderWay::Typed RunUnderWay::FillInWizard(size_t capture, const Position& at, const std::string& value, bool last) {
    const Typed notStored;
    guard_.BeginBarcode(capture, at);
    if (firstClickAt_ < 0) firstClickAt_ = guard_.NowMs();
    evidence_.BeforeClick(capture, PageNow());  // its object before it takes the value
    wait_->DoubleClick(guard_, at);
    if (!MayGoOn()) return notStored;
    wait_->Opened(guard_);
    if (!MayGoOn()) return notStored;
    Typed typed = TypeAndCheck(value);
    if (!typed.ok || !PressEnters(value.size() + kReadBackSlackChars)) return notStored;
    switch (wait_->Closed(guard_, last)) {
        case WizardWait::Closing::kOpen: return notStored;
        case WizardWait::Closing::kUnseen: typed.seen = WizardSeen::kUnseen; break;
        case WizardWait::Closing::kGone: typed.seen = WizardSeen::kGone; break;
    }
    return typed;
}

// The three Enters: the first two each followed by its wait, the third at once (its wizard's
// closing is waited for next); false when the run stops before the third went out.
bool RunUnderWay::PressEnters(size_t maxChars) {
    for (int press = 0; press < 2; ++press) {
        if (PauseHeld()) return StopForUser();
        wait_->Enter(guard_, maxChars);
        if (!MayGoOn()) return false;
    }
    if (PauseHeld()) return StopForUser();
    PressKey(guard_, kVkReturn);
    return guard_.PendingStop() == StopCause::kNone;
}

// One barcode in spreadsheet mode: `entry` is the value with its text mark where needed (TypedText),
// typed whole after clearing the cell when a stop left part of it there, so the mark goes in once.
// Before its first key the point on disk says the cell may hold part of the value (a kill amid the
// keys then has the cell cleared when the run goes on); storing the value clears that.
bool RunUnderWay::FillCell(const Position& at, const std::string& entry, bool clearFirst) {
    return SimulateExcelPaste(guard_, at.x, at.y, entry, clearFirst, [this] {
        if (point_.partial) return;
        point_.partial = true;
        KeepOnDisk();
    });
}

// --- the value in the wizard -----------------------------------------------------------------------

// How often the wizard's field is read: at the fixed schedule's pace, or every millisecond while
// waiting for the wizard (a read is a few window messages).
unsigned RunUnderWay::LookEveryMs(unsigned fixedMs) const { return wait_->FixedSchedule() ? fixedMs : kWizardPollMs; }

// Types the value into the wizard and reads it back before any Enter: typed again over a cleared
// field while the field settles on another text (or shows none of the keys), at most twice, then a
// stop; a field that gives no text to read goes on unchecked.
RunUnderWay::Typed RunUnderWay::TypeAndCheck(const std::string& value) {
    Typed typed;
    if (!guard_.FrontTakesKeys()) return typed;  // held back: the wizard is not in front
    const size_t maxChars = value.size() + kReadBackSlackChars;
    std::optional<FieldRead> before = FieldBeforeTyping(maxChars);
    if (!before) return typed;
    const bool readable = ReadBack::Readable(*before);
    for (int typing = 1;; ++typing) {
        const long long began = guard_.NowMs();
        if (!TypeValue(value, typing)) return typed;
        const long long typedAt = guard_.NowMs();
        if (typing == 1 && wait_->FixedSchedule()) {
            WaitDelay(guard_, AfterTypingDelay(value.size()));
            if (!MayGoOn()) return typed;
        }
        typed.retyped = typing > 1;
        if (!readable) {
            typed.ok = true;
            return typed;
        }
        ReadBack readBack(*before, value, typedAt, typedAt - began);
        FieldRead after;
        const ReadBackVerdict verdict = AwaitField(readBack, maxChars, &after);
        if (verdict == ReadBackVerdict::kWaiting) return typed;  // stopped
        const bool keysLost = verdict == ReadBackVerdict::kUnreadable && KeysNeverArrived(*before, after);
        if (verdict == ReadBackVerdict::kVerified ||
            (verdict == ReadBackVerdict::kUnreadable && !keysLost && typing == 1)) {
            typed.ok = true;
            typed.check = verdict == ReadBackVerdict::kVerified ? BarcodeCheck::kVerified : BarcodeCheck::kNotChecked;
            return typed;
        }
        if (verdict == ReadBackVerdict::kLost) {
            guard_.StopWith(LostFieldStopMessage(guard_.CaptureText(), guard_.NowMs() - typedAt));
            return typed;
        }
        if (typing == kMaxTypings || !ClearedField(readBack.LastText(), maxChars)) {
            if (guard_.PendingStop() == StopCause::kNone)
                guard_.StopWith(keysLost ? KeysLostStopMessage(guard_.CaptureText(), value, typing)
                                         : MismatchStopMessage(guard_.CaptureText(), readBack.LastText(), value, typing));
            return typed;
        }
        before->text.clear();
        before->caret = -1;
        slowTyping_ = true;
    }
}

// The wizard's field before typing, once the focus has had a moment to come to a control that takes
// text; none when the run stops instead (the focus stayed on a button, or Escape, Pause, a window).
std::optional<FieldRead> RunUnderWay::FieldBeforeTyping(size_t maxChars) {
    FieldRead read;
    const WaitEnd end = WaitUntil(
        guard_,
        [&] {
            read = guard_.ReadWizardField(maxChars);
            return read.state != FieldRead::State::kNoField && KindOfFocus(read) != FocusKind::kNoText;
        },
        LookEveryMs(kFocusPollMs), kFocusArriveMs, true);
    if (end.why == WaitEnd::Why::kPause) StopForUser();
    if (end.why == WaitEnd::Why::kPause || end.why == WaitEnd::Why::kStopped) return std::nullopt;
    if (KindOfFocus(read) != FocusKind::kNoText) return read;  // a field, or none that can be read
    guard_.StopWith(WrongFocusStopMessage(guard_.CaptureText(), guard_.WizardName(), read));
    return std::nullopt;
}

// The value's keys: the first typing at the schedule's pace (at once while waiting for the wizard),
// a retype, and every value after one, at the slower retype pace. False when the run stops.
bool RunUnderWay::TypeValue(const std::string& value, int typing) {
    if (typing > 1 || slowTyping_)
        SimulateTypingAtPace(guard_, value, RetypePaceMs(delays.typingDelay));
    else if (wait_->FixedSchedule())
        SimulateTyping(guard_, value);
    else
        SimulateTypingAtPace(guard_, value, 0);
    return MayGoOn();
}

// Reads the wizard's field until the read-back decides; kWaiting when the run stopped meanwhile.
// `last` gets the read that decided.
ReadBackVerdict RunUnderWay::AwaitField(ReadBack& readBack, size_t maxChars, FieldRead* last) {
    ReadBackVerdict verdict = ReadBackVerdict::kWaiting;
    const WaitEnd end = WaitUntil(
        guard_,
        [&] {
            const FieldRead read = guard_.ReadWizardField(maxChars);
            if (last) *last = read;
            verdict = readBack.Next(read, guard_.NowMs());
            return verdict != ReadBackVerdict::kWaiting;
        },
        LookEveryMs(kReadBackPollMs), kNoCeiling, true);
    if (end.why == WaitEnd::Why::kPause) StopForUser();
    return end.Ready() ? verdict : ReadBackVerdict::kWaiting;
}

// Home, Shift+End, Delete, and the field read back empty (an empty one is left as it is).
bool RunUnderWay::ClearedField(const std::string& text, size_t maxChars) {
    if (text.empty()) return true;
    ClearField(guard_);
    if (guard_.PendingStop() != StopCause::kNone) return false;
    FieldRead before;
    before.state = FieldRead::State::kText;
    before.text = text;
    ReadBack cleared(before, std::string(), guard_.NowMs(), 0);
    return AwaitField(cleared, maxChars) == ReadBackVerdict::kVerified;
}

// --- the page --------------------------------------------------------------------------------------

// Page Down (Ctrl+Page Down in spreadsheet mode, after an Enter that ends the last cell's edit), sent
// once the page's evidence lets it go, and the turn seen: with the fixed delays after the page delay,
// while waiting for the wizard from the key on. The continue point says the key went out and the
// turn is unseen before the key goes, so a kill at any moment is answered by a look at the page.
bool RunUnderWay::TurnPage() {
    if (PauseHeld()) return StopForUser();
    guard_.ExpectPage();
    const long long began = guard_.NowMs();
    const bool excelMode = inputs_.excelMode;
    if (excelMode ? !EnterSeenOnSheet() : !ReadyForKey()) return EndHere();
    const long long keyAt = guard_.NowMs();
    const unsigned long long turnsBefore = guard_.PageKeysSent();
    evidence_.KeySent();
    point_.turnDue = false;
    point_.turnUnseen = true;
    point_.turnFrom = evidence_.Before();
    KeepOnDisk();
    if (!MayGoOn()) return EndHere();
    if (excelMode)
        PressExcelPageDown(guard_);
    else
        PressKey(guard_, kVkNext);
    if (guard_.PageKeysSent() == turnsBefore) {  // held back: the turn is still due
        point_.turnDue = true;
        point_.turnUnseen = false;
        point_.turnFrom.clear();
    }
    if (!MayGoOn()) return EndHere();
    // The key's own wait of the fixed schedule, then the page delay.
    const int keyWait = excelMode ? delays.pageSwitchDelay : wait_->FixedSchedule() ? delays.enterDelay : 0;
    if (keyWait > 0) {
        WaitDelay(guard_, keyWait);
        if (!MayGoOn()) return EndHere();
    }
    if (wait_->FixedSchedule()) {
        WaitDelay(guard_, delays.pageSwitchDelay);
        if (!MayGoOn()) return EndHere();
    }
    if (!PageChanged(keyAt)) return false;
    point_.turnUnseen = false;
    point_.turnFrom.clear();
    if (firstClickAt_ >= 0) {  // a turn before the first click is no part of the pace
        turnMs_ += static_cast<double>(guard_.NowMs() - began);
        ++turns_;
    }
    return true;
}

// Before the page key: every object clicked on this page seen redrawn since its double-click and the
// regions at rest (two looks a moment apart agree), so that a value the designer draws late is not
// taken for the turn. A value that draws as the one before it did shows nothing: past the ceiling
// the page's quiet decides, and the journal says so. False when the run stops meanwhile.
bool RunUnderWay::ReadyForKey() {
    PageEvidence::KeyVerdict verdict = PageEvidence::KeyVerdict::kWait;
    const WaitEnd end = WaitUntil(
        guard_,
        [&] {
            verdict = evidence_.LookBeforeKey(PageNow(), guard_.NowMs());
            return verdict != PageEvidence::KeyVerdict::kWait;
        },
        wait_->FixedSchedule() ? kPictureSettleMs : kTurnLookMs, kNoCeiling, true);
    if (end.why == WaitEnd::Why::kPause) StopForUser();
    if (!end.Ready()) return false;
    if (verdict == PageEvidence::KeyVerdict::kQuietRule) NoteUndrawn();
    return MayGoOn();
}

// Spreadsheet: Enter ends the last cell's edit, so that the sheet key can change the picture only by
// showing another sheet; the picture before the key is taken once that Enter's own effect was seen
// and has settled, or the page delay has passed (a commit that shows nothing), kCommitSeenMs at
// least: a commit drawn after the key would change the cells as a new sheet does.
bool RunUnderWay::EnterSeenOnSheet() {
    evidence_.EnterGoing(PageNow());
    PressKey(guard_, kVkReturn);
    if (!MayGoOn()) return false;
    const long long pageDelay = std::max<long long>(BoundedDelay(delays.pageSwitchDelay), kCommitSeenMs);
    const WaitEnd end = WaitUntil(
        guard_,
        [&] { return evidence_.LookAfterEnter(PageNow(), guard_.NowMs(), pageDelay) != PageEvidence::KeyVerdict::kWait; },
        wait_->FixedSchedule() ? kPictureSettleMs : kTurnLookMs, kNoCeiling, true);
    if (end.why == WaitEnd::Why::kPause) StopForUser();
    return end.Ready() && MayGoOn();
}

// The trial run's last cell of its first sheet is still in its editor: Enter stores it before the
// stop, as the continue point counts it stored. Wizard mode has nothing to commit.
bool RunUnderWay::CommitLastCell() {
    if (!inputs_.excelMode || EnterSeenOnSheet()) return true;
    return EndHere();
}

// The journal says which objects were not seen redrawn before the page key.
void RunUnderWay::NoteUndrawn() {
    const std::vector<size_t> undrawn = evidence_.Undrawn();
    if (undrawn.empty()) return;
    const long long page = PlaceOf(inputs_, point_.next > 0 ? point_.next - 1 : 0).page + 1;
    journal_.Append(JournalRowWithout(kJournalNoteLead + UndrawnNote(page, CaptureList(undrawn),
                                                                     PageTurnCeilingMs(delays.pageSwitchDelay))));
}

// After the key: looks at the page until other contents stand at every captured position (while
// waiting for the wizard, once they are at rest) or the ceiling, counted from the key, has passed;
// then the run stops before the next click, its point on the first value of the page in front with
// no turn due (the key went out): nothing changed there, only some positions changed (a late
// drawing, a tooltip), or the page could not be seen.
bool RunUnderWay::PageChanged(long long keyAt) {
    const unsigned ceiling = PageTurnCeilingMs(delays.pageSwitchDelay);
    const bool settles = !wait_->FixedSchedule();
    using Turn = PageEvidence::TurnVerdict;
    Turn seen = Turn::kSame;
    const WaitEnd end = WaitUntil(
        guard_,
        [&] {
            if (!guard_.PageInFront()) return true;  // a question over the page: its picture tells no turn
            seen = evidence_.LookAfterKey(PageNow(), guard_.NowMs(), settles, kPictureSettleBoundMs);
            return seen == Turn::kTurned;
        },
        settles ? kTurnLookMs : kPageLookMs, std::max(0LL, ceiling - (guard_.NowMs() - keyAt)), true);
    switch (end.why) {
        case WaitEnd::Why::kPause: return StopForUser();
        case WaitEnd::Why::kStopped: return EndHere();
        case WaitEnd::Why::kReady:
        case WaitEnd::Why::kCeiling: break;
    }
    if (!guard_.PageInFront()) {  // the stop names the window in front; the turn stays unseen
        guard_.FrontTakesKeys();
        return EndHere();
    }
    if (seen == Turn::kTurned || seen == Turn::kSettling) return true;  // a new page that never rests did turn
    point_.turnUnseen = false;  // the message tells the user to show the page to go on with
    point_.turnFrom.clear();
    const std::string next = RunValue(inputs_, plan_, point_.next);
    guard_.StopWith(seen == Turn::kConfined
                        ? PageConfinedStopMessage(inputs_.excelMode, CaptureList(evidence_.Changed()), ceiling,
                                                  point_.next, plan_.total, next)
                        : PageUnchangedStopMessage(inputs_.excelMode, seen == Turn::kUnseen ? PageSeen::kUnseen : PageSeen::kSame,
                                                   ceiling, point_.next, plan_.total, next));
    return EndHere();
}
