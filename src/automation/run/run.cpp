// The automation run over the machine interface. Every wait reads `delays` when it begins; input
// stops at once when Escape was seen, the main window went away or the window it belongs to is not
// where it would land, and after a stop nothing more is sent. Window messages are dispatched only at
// the pump points, once per page and once per barcode.
#include "automation/run/run.h"

#include "automation/input/input.h"
#include "automation/input/wait_until.h"
#include "automation/watch/input_guard.h"
#include "automation/watch/page_turn.h"
#include "automation/watch/read_back.h"
#include "automation/run/run_folder.h"
#include "automation/run/run_journal.h"
#include "automation/run/run_progress.h"
#include "automation/run/run_record.h"
#include "automation/run/run_state.h"
#include "automation/watch/window_follow.h"
#include "automation/watch/wizard_wait.h"
#include "delays/delay_settings.h"
#include "platform/captions.h"
#include "platform/text_parse.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

const char* const kFinishedMessage = "Генерация завершена!";
const char* const kFinishedCaption = "Готово";
const char* const kStopMessage =
    "? Автоматизация остановлена!\n\nПрограмма готова к новому запуску.\nДля продолжения нажмите СТАРТ.";
const char* const kStopCaption = "ЭКСТРЕННАЯ ОСТАНОВКА";
const char* const kContinueCaption = "Продолжить?";
const char* const kInterruptedNote = "Запуск был прерван: программа закрылась, не закончив его.\n";
const char* const kInputBlockedMessage =
    "Система не приняла щелчки и нажатия клавиш: ввод заблокирован.\n"
    "Обычно так бывает, когда программа, в которую идёт ввод, запущена от имени администратора, "
    "или когда экран заблокирован.\n\nПрограмма готова к новому запуску.";

namespace {
// Two states, not one: input may go out only while g_autoRunning, and a "СТАРТ" dispatched at a
// pump point or inside the run's own message boxes (stop, refusal) must not start a run inside the
// run, which runInProgress guards for the whole call.
bool g_autoRunning = false;
bool runInProgress = false;
const InputGuard* runGuard = nullptr;  // the run's input goes through it; it knows what held input back
std::string runFolder;  // the journal and the unfinished run's files: the working folder unless a test says

// A run that stopped before its end: its inputs and where to go on; `interrupted` when it was found
// in the run folder at start-up (the program had closed).
struct RunStop {
    RunInputs inputs;
    ContinuePoint point;
    bool interrupted = false;
};
std::optional<RunStop> lastStop;

// A value whose third Enter went out and whose wizard was not looked at yet (the fixed delays look
// when the next click is due): stored once the wizard is seen gone.
struct Unconfirmed {
    long long index = 0;
    BarcodeCheck check = BarcodeCheck::kNotChecked;
    bool retyped = false;
};

// The run under way: what it fills and what it has done so far. Null outside a run.
struct Current {
    const RunInputs& inputs;
    const RunPlan& plan;
    const WizardWait& wait;
    InputGuard& guard;
    int perPage;
    ContinuePoint point;
    double charsLeft;
    RunJournal journal;
    RunStateFiles files;
    RunTally tally;
    std::optional<Unconfirmed> unconfirmed;
    bool slowTyping = false;  // a value had to be typed again: the rest go at the retype pace
    double turnMs = 0;        // the page turns watched so far took this long in all
    double turns = 0;
};
Current* current = nullptr;

// Counted afresh each time from the delays in force, so settings applied during the run show;
// `gapWaited` when the wait after the barcode stored last is behind too.
void ShowRunning(Machine& machine, bool gapWaited, const std::string& note = std::string()) {
    const Current& c = *current;
    RunProgress progress;
    progress.note = note;
    progress.stored = c.point.next;
    progress.total = c.plan.total;
    RunRemainder rest = RemainderAfter(c.point.next, c.plan.total, c.perPage, c.charsLeft, gapWaited);
    rest.wizardMs = c.wait.MeasuredMsPerBarcode();
    rest.typesAtOnce = !c.wait.FixedSchedule() && !c.slowTyping;
    if (!c.wait.FixedSchedule()) rest.pageTurnMs = c.turns > 0 ? c.turnMs / c.turns : 0;
    progress.msLeft = ScheduleMs(rest, c.inputs.excelMode, delays);
    machine.ShowProgress(progress);
}

void JournalRowOf(Machine& machine, long long index, const std::string& result) {
    Current& c = *current;
    const BarcodePlace place = PlaceOf(c.inputs, index);
    JournalRow row;
    row.time = machine.LocalTimestamp();
    row.page = place.page + 1;
    row.capture = static_cast<long long>(place.capture) + 1;
    row.value = RunValue(c.inputs, c.plan, index);
    row.result = result;
    c.journal.Append(row);
}

// A row of the journal that belongs to no barcode: page, capture and value stay empty.
JournalRow JournalRowWithout(Machine& machine, const std::string& result) {
    JournalRow row;
    row.time = machine.LocalTimestamp();
    row.page = row.capture = 0;
    row.result = result;
    return row;
}

// The row each run begins with, so that the runs in the journal can be told apart.
void JournalStart(Machine& machine, const ContinuePoint& start) {
    Current& c = *current;
    const std::string from = start.next > 0 || start.partial ? RunValue(c.inputs, c.plan, start.next) : std::string();
    c.journal.Begin(JournalRowWithout(machine, RunStartResult(c.plan.total, RunValue(c.inputs, c.plan, 0), from,
                                                              c.wait.FixedSchedule(), c.inputs.excelMode)));
}

// When the caption shows a stored barcode: at once, once the gap after it was waited too (the
// fixed delays see the wizard gone only then), or not at all (the run is ending).
enum class ShowStored { kBeforeGap, kAfterGap, kNo };

// The point on disk follows the run's, or is removed; when neither can be done the run stops
// before its next input, since a later start would offer to go on from a stale point.
void KeepOnDisk() {
    Current& c = *current;
    if (c.files.Keep(c.point) || c.guard.PendingStop() != StopCause::kNone) return;
    c.guard.StopWith("Автоматизация остановлена: не удалось записать в папку «" + c.files.FolderName() +
                     "», с какого значения продолжать, и не удалось удалить прежнюю запись: после перезапуска "
                     "программа предложила бы продолжить не с того значения.\nОсвободите место на диске или "
                     "проверьте, что в эту папку можно писать, и нажмите СТАРТ снова.\n\nПрограмма готова к "
                     "новому запуску.");
}

// Barcode `index` is stored: its last input went out and its wizard was seen gone (a cell: its keys
// went out).
void Stored(Machine& machine, long long index, BarcodeCheck check, bool retyped, ShowStored show) {
    Current& c = *current;
    const long long next = index + 1;
    c.point = ContinuePoint{next, next % c.perPage == 0 && next < c.plan.total, false};
    KeepOnDisk();
    c.tally.Stored(check, retyped);
    c.charsLeft -= static_cast<double>(RunValue(c.inputs, c.plan, index).size());
    JournalRowOf(machine, index, CheckResult(check));
    if (show != ShowStored::kNo && next < c.plan.total) ShowRunning(machine, show == ShowStored::kAfterGap);
}

// The run stops while a value's wizard was not looked at yet: stored only if the wizard is gone
// now, so that a value the designer did not take is typed again when the run goes on.
void SettleUnconfirmed(Machine& machine) {
    Current& c = *current;
    if (!c.unconfirmed) return;
    const Unconfirmed u = *c.unconfirmed;
    c.unconfirmed.reset();
    if (!c.guard.WizardStillOpen()) Stored(machine, u.index, u.check, u.retyped, ShowStored::kNo);
}

// The run ends without a message: the application is going away.
void EndQuietly(Machine& machine) {
    g_autoRunning = false;
    machine.RemoveEscapeHook();
    machine.EndPreciseTiming();
}

// True while the run may send more input; ends the run otherwise.
void EndClosed(Machine& machine);

bool StillRunning(Machine& machine) {
    switch (machine.PendingStop()) {
        case StopCause::kEscape:
            if (g_autoRunning) StopRun(machine);
            return false;
        case StopCause::kClosed:
            if (g_autoRunning) EndClosed(machine);
            return false;
        case StopCause::kWrongWindow:
            if (g_autoRunning) StopRunHeldBack(machine, runGuard ? runGuard->HeldBack() : std::string());
            return false;
        case StopCause::kInputBlocked:
            if (g_autoRunning) StopRunHeldBack(machine, kInputBlockedMessage);
            return false;
        case StopCause::kNone: break;
    }
    return g_autoRunning;
}

bool WaitAndGoOn(Machine& machine, int ms) {
    WaitDelay(machine, ms);
    return StillRunning(machine);
}

// A held Pause key ends the run with the stop message.
bool PauseStops(Machine& machine) {
    if (!machine.PauseDown()) return false;
    StopRun(machine);
    return true;
}

bool PumpAndGoOn(Machine& machine) {
    machine.PumpMessages();
    return StillRunning(machine);
}

// The wait after typing: typingDelay per character and 50 ms more, bounded like every other wait.
int AfterTypingDelay(size_t length) {
    const long long total = static_cast<long long>(delays.typingDelay) * static_cast<long long>(length) + 50;
    return total > INT_MAX ? INT_MAX : total < INT_MIN ? INT_MIN : static_cast<int>(total);
}

// A value typed into the wizard and what was seen of it; `ok` false when the run stops instead.
// `closed`: its wizard was seen gone (or it went into a cell).
struct Typed {
    bool ok = false;
    BarcodeCheck check = BarcodeCheck::kNotChecked;
    bool retyped = false;
    bool closed = false;
};

// Reads the wizard's field until the read-back decides; kWaiting when the run stopped meanwhile.
// `last` gets the read that decided.
ReadBackVerdict AwaitField(InputGuard& guard, ReadBack& readBack, size_t maxChars, FieldRead* last = nullptr) {
    ReadBackVerdict verdict = ReadBackVerdict::kWaiting;
    const WaitEnd end = WaitUntil(
        guard,
        [&] {
            const FieldRead read = guard.ReadWizardField(maxChars);
            if (last) *last = read;
            verdict = readBack.Next(read, guard.NowMs());
            return verdict != ReadBackVerdict::kWaiting;
        },
        kReadBackPollMs, kNoCeiling, true);
    if (end.why == WaitEnd::Why::kPause) StopRun(guard);
    return end.Ready() ? verdict : ReadBackVerdict::kWaiting;
}

// Home, Shift+End, Delete, and the field read back empty (an empty one is left as it is).
bool ClearedWizardField(InputGuard& guard, const std::string& text, size_t maxChars) {
    if (text.empty()) return true;
    ClearField(guard);
    if (guard.PendingStop() != StopCause::kNone) return false;
    FieldRead before;
    before.state = FieldRead::State::kText;
    before.text = text;
    ReadBack cleared(before, std::string(), guard.NowMs(), 0);
    return AwaitField(guard, cleared, maxChars) == ReadBackVerdict::kVerified;
}

// The wizard's field before typing, once the focus has had a moment to come to a control that takes
// text; none when the run stops instead (the focus stayed on a button, or Escape, Pause, a window).
std::optional<FieldRead> FieldBeforeTyping(InputGuard& guard, size_t maxChars) {
    FieldRead read;
    const WaitEnd end = WaitUntil(
        guard,
        [&] {
            read = guard.ReadWizardField(maxChars);
            return read.state != FieldRead::State::kNoField && KindOfFocus(read) != FocusKind::kNoText;
        },
        kFocusPollMs, kFocusArriveMs, true);
    if (end.why == WaitEnd::Why::kPause) StopRun(guard);
    if (end.why == WaitEnd::Why::kPause || end.why == WaitEnd::Why::kStopped) return std::nullopt;
    if (KindOfFocus(read) != FocusKind::kNoText) return read;  // a field, or none that can be read
    guard.StopWith(WrongFocusStopMessage(guard.CaptureText(), read));
    return std::nullopt;
}

// Types the value into the wizard and reads it back before any Enter: typed again over a cleared
// field while the field settles on another text (or shows none of the keys), at most twice, then a
// stop; a field that gives no text to read goes on unchecked.
Typed TypeAndCheck(InputGuard& guard, const WizardWait& wait, const std::string& value) {
    Typed typed;
    if (!guard.FrontTakesKeys()) return typed;  // held back: the wizard is not in front
    const size_t maxChars = value.size() + kReadBackSlackChars;
    std::optional<FieldRead> focused = FieldBeforeTyping(guard, maxChars);
    if (!focused) return typed;
    FieldRead before = *focused;
    const bool readable = ReadBack::Readable(before);
    for (int typing = 1;; ++typing) {
        const long long began = guard.NowMs();
        if (typing > 1 || current->slowTyping)
            SimulateTypingAtPace(guard, value, RetypePaceMs(delays.typingDelay));
        else if (wait.FixedSchedule())
            SimulateTyping(guard, value);
        else
            SimulateTypingAtPace(guard, value, 0);
        if (!StillRunning(guard)) return typed;
        const long long typedAt = guard.NowMs();
        if (typing == 1 && wait.FixedSchedule() && !WaitAndGoOn(guard, AfterTypingDelay(value.size()))) return typed;
        typed.retyped = typing > 1;
        if (!readable) {
            typed.ok = true;
            return typed;
        }
        ReadBack readBack(before, value, typedAt, typedAt - began);
        FieldRead after;
        const ReadBackVerdict verdict = AwaitField(guard, readBack, maxChars, &after);
        if (verdict == ReadBackVerdict::kWaiting) return typed;  // stopped
        const bool keysLost = verdict == ReadBackVerdict::kUnreadable && KeysNeverArrived(before, after);
        if (verdict == ReadBackVerdict::kVerified ||
            (verdict == ReadBackVerdict::kUnreadable && !keysLost && typing == 1)) {
            typed.ok = true;
            typed.check = verdict == ReadBackVerdict::kVerified ? BarcodeCheck::kVerified : BarcodeCheck::kNotChecked;
            return typed;
        }
        if (verdict == ReadBackVerdict::kLost) {
            guard.StopWith(LostFieldStopMessage(guard.CaptureText(), guard.NowMs() - typedAt));
            return typed;
        }
        if (typing == kMaxTypings || !ClearedWizardField(guard, readBack.LastText(), maxChars)) {
            if (guard.PendingStop() == StopCause::kNone)
                guard.StopWith(keysLost ? KeysLostStopMessage(guard.CaptureText(), value, typing)
                                        : MismatchStopMessage(guard.CaptureText(), readBack.LastText(), value, typing));
            return typed;
        }
        before.text.clear();
        before.caret = -1;
        current->slowTyping = true;
    }
}

// One barcode in wizard mode: open it, type the value and see it in the field, confirm three
// times, and see the wizard close (with the fixed delays, but for the last barcode, when the next
// click is due). Not ok when the run stops before the value is stored: the third Enter did not go
// out, or the wizard was seen still open after it.
Typed FillInWizard(InputGuard& guard, WizardWait& wait, size_t capture, const Position& at, const std::string& value,
                   bool last) {
    const Typed notStored;
    guard.BeginBarcode(capture, at);
    SimulateDoubleClick(guard, at.x, at.y);
    if (!StillRunning(guard)) return notStored;
    wait.Opened(guard);
    if (!StillRunning(guard)) return notStored;
    const Typed typed = TypeAndCheck(guard, wait, value);
    if (!typed.ok) return notStored;
    for (int press = 0; press < 2; ++press) {
        if (PauseStops(guard)) return notStored;
        SimulateKeyPress(guard, kVkReturn);
        if (!StillRunning(guard)) return notStored;
    }
    if (PauseStops(guard)) return notStored;
    PressKey(guard, kVkReturn);
    if (guard.PendingStop() != StopCause::kNone) return notStored;
    Typed stored = typed;
    switch (wait.Closed(guard, last)) {
        case WizardWait::Closing::kOpen: return notStored;
        case WizardWait::Closing::kUnseen: break;
        case WizardWait::Closing::kGone: stored.closed = true; break;
    }
    return stored;
}

// The page's picture at rest: two looks a moment apart that agree, so that a late repaint (the
// value just stored drawn on its object, a cell's edit ended) is not taken for a turn.
PagePicture SettledPicture(InputGuard& guard) {
    PagePicture last = guard.PictureOfPage();
    bool first = true;  // the second look comes a moment after the first
    WaitUntil(
        guard,
        [&] {
            if (std::exchange(first, false)) return false;
            const PagePicture now = guard.PictureOfPage();
            const bool same = ComparePictures(last, now) != PageSeen::kChanged;
            last = now;
            return same;
        },
        kPictureSettleMs, kPictureSettleBoundMs);
    return last;
}

// After the key: looks at the page until its picture differs from `before` (the page turned) or
// the ceiling, counted from the key, has passed; then the run stops before the next click, its point
// on the first value of the page in front with no turn due (the key went out).
bool PageChanged(InputGuard& guard, const PagePicture& before, long long keyAt, bool excelMode) {
    const unsigned ceiling = PageTurnCeilingMs(delays.pageSwitchDelay);
    PageSeen seen = PageSeen::kSame;
    const WaitEnd end = WaitUntil(
        guard,
        [&] {
            seen = ComparePictures(before, guard.PictureOfPage());
            return seen == PageSeen::kChanged;
        },
        kPageLookMs, std::max(0LL, ceiling - (guard.NowMs() - keyAt)), true);
    switch (end.why) {
        case WaitEnd::Why::kReady:
            current->turnMs += static_cast<double>(guard.NowMs() - keyAt);
            ++current->turns;
            return true;
        case WaitEnd::Why::kPause: StopRun(guard); return false;
        case WaitEnd::Why::kStopped: StillRunning(guard); return false;
        case WaitEnd::Why::kCeiling: break;
    }
    const Current& c = *current;
    guard.StopWith(PageUnchangedStopMessage(excelMode, seen, ceiling, c.point.next, c.plan.total,
                                            RunValue(c.inputs, c.plan, c.point.next)));
    StillRunning(guard);
    return false;
}

// Page Down (Ctrl+Page Down in spreadsheet mode, after an Enter that ends the last cell's edit), and
// the page seen to change: with the fixed delays after the page delay, while waiting for the wizard
// from the key on.
bool TurnPage(InputGuard& guard, const WizardWait& wait, bool excelMode) {
    if (PauseStops(guard)) return false;
    guard.ExpectPage();
    if (excelMode) {
        // The sheet's last value is still in its cell's editor: Enter ends the edit now, so that the
        // sheet key can change the picture only by showing another sheet.
        PressKey(guard, kVkReturn);
        if (!StillRunning(guard)) return false;
    }
    const PagePicture before = SettledPicture(guard);
    if (!StillRunning(guard)) return false;
    const long long keyAt = guard.NowMs();
    const unsigned long long turnsBefore = guard.PageKeysSent();
    if (excelMode)
        PressExcelPageDown(guard);
    else
        PressKey(guard, kVkNext);
    if (guard.PageKeysSent() > turnsBefore) {  // on disk before the key's wait: a kill in it turns no page twice
        current->point.turnDue = false;
        KeepOnDisk();
    }
    if (!StillRunning(guard)) return false;
    // The key's own wait of the fixed schedule, then the page delay.
    const int keyWait = excelMode ? delays.pageSwitchDelay : wait.FixedSchedule() ? delays.enterDelay : 0;
    if (keyWait > 0 && !WaitAndGoOn(guard, keyWait)) return false;
    if (wait.FixedSchedule() && !WaitAndGoOn(guard, delays.pageSwitchDelay)) return false;
    return PageChanged(guard, before, keyAt, excelMode);
}

// The wizard whose closing was not looked at yet, looked at now that the next click is due: its
// value is stored once it is seen gone; false when it is still open (input is held back then).
bool ConfirmedClosed(InputGuard& guard, WizardWait& wait) {
    Current& c = *current;
    if (!c.unconfirmed) return true;
    if (!wait.GoneAfterGap(guard)) return false;
    const Unconfirmed u = *c.unconfirmed;
    c.unconfirmed.reset();
    Stored(guard, u.index, u.check, u.retyped, ShowStored::kAfterGap);
    return true;
}

// One barcode in spreadsheet mode. Before its first key the point on disk says the cell may hold
// part of the value (a kill amid the keys then has the cell cleared when the run goes on); storing
// the value clears that.
bool FillCell(InputGuard& guard, const Position& at, const std::string& value, bool clearFirst) {
    return SimulateExcelPaste(guard, at.x, at.y, value, clearFirst, [] {
        if (current->point.partial) return;
        current->point.partial = true;
        KeepOnDisk();
    });
}

// The barcodes from `start` on, page by page: a page's pump point when a page begins (and where the
// run begins), then each barcode's pump point; false when the run was stopped or ended on the way.
bool FillFrom(InputGuard& guard, WizardWait& wait, const RunInputs& inputs, const RunPlan& plan, int perPage,
              const ContinuePoint& start) {
    if (start.turnDue) {
        // The page before was filled and its turn did not go out: it goes out first.
        guard.BringPageForward();
        if (!TurnPage(guard, wait, inputs.excelMode)) return false;
    }
    for (long long index = start.next; index < plan.total; ++index) {
        const int i = static_cast<int>(index % perPage);
        if ((i == 0 || index == start.next) && (!PumpAndGoOn(guard) || PauseStops(guard))) return false;
        if (!PumpAndGoOn(guard) || PauseStops(guard)) return false;
        const size_t capture = PlaceOf(inputs, index).capture;
        const Position at = inputs.positions[capture];
        if (PauseStops(guard)) return false;
        const std::string value = RunValue(inputs, plan, index);
        Typed typed;
        if (inputs.excelMode) {
            typed.ok = typed.closed = FillCell(guard, at, value, start.partial && index == start.next);
        } else {
            typed = FillInWizard(guard, wait, capture, at, value, index + 1 == plan.total);
        }
        if (!typed.ok) {
            StillRunning(guard);  // shows the stop, if not shown yet
            return false;
        }
        if (typed.closed)
            Stored(guard, index, typed.check, typed.retyped, ShowStored::kBeforeGap);
        else
            current->unconfirmed = Unconfirmed{index, typed.check, typed.retyped};
        if (!StillRunning(guard)) return false;
        if (index + 1 < plan.total) {
            if (PauseStops(guard)) return false;
            wait.Gap(guard, i + 1 == perPage);
            if (!StillRunning(guard)) return false;
            if (!ConfirmedClosed(guard, wait)) {
                StillRunning(guard);
                return false;
            }
            if (i + 1 == perPage && !TurnPage(guard, wait, inputs.excelMode)) return false;
        }
    }
    return true;
}
}  // namespace

namespace {
// A short reason for the journal: the stop message's first sentence.
std::string StopBrief(const std::string& message) {
    if (message == kStopMessage) return "Esc или Pause";
    std::string brief = message;
    const std::string lead = "Автоматизация остановлена: ";
    if (brief.compare(0, lead.size(), lead) == 0) brief.erase(0, lead.size());
    const size_t end = brief.find_first_of(".\n");
    return brief.substr(0, end);
}

// The point where this run stands, kept for the next "СТАРТ" with the same inputs; none once
// every barcode is stored (Escape can still come in the wait after the last Enter).
void KeepPoint() {
    Current& c = *current;
    if (c.point.next < c.plan.total) {
        lastStop = RunStop{c.inputs, c.point};
        c.files.Keep(c.point);
    } else {
        c.files.Forget();
    }
}

// What every stop does before its message: the caption and the journal say where the run stopped,
// and the point is kept so that "СТАРТ" can go on from there.
void EndStopped(Machine& machine, const std::string& message) {
    g_autoRunning = false;
    machine.RemoveEscapeHook();
    machine.EndPreciseTiming();
    if (current) {
        SettleUnconfirmed(machine);
        const Current& c = *current;
        RunProgress progress;
        progress.state = RunProgress::State::kStopped;
        progress.stored = c.point.next;
        progress.total = c.plan.total;
        if (c.point.next < c.plan.total) {
            progress.next = RunValue(c.inputs, c.plan, c.point.next);
            JournalRowOf(machine, c.point.next, "остановка: " + StopBrief(message));
        }
        KeepPoint();
        machine.ShowProgress(progress);
    }
    machine.FlashMainWindow();
}

// The main window went away during the run: no message, but the point is kept as at a stop.
void EndClosed(Machine& machine) {
    EndQuietly(machine);
    if (!current) return;
    SettleUnconfirmed(machine);
    if (current->point.next < current->plan.total)
        JournalRowOf(machine, current->point.next, "остановка: программа закрыта");
    KeepPoint();
}

// Where to begin: the first barcode, or where a stop of the same run left off if the user says
// so; none when the user cancels.
std::optional<ContinuePoint> FirstBarcode(Machine& machine, const RunInputs& inputs, const RunPlan& plan) {
    if (lastStop && !SameRunInputs(lastStop->inputs, inputs)) lastStop.reset();
    const ContinuePoint fresh;
    if (!lastStop || lastStop->point.next >= plan.total) return fresh;
    // Nothing stored and nothing of the first value typed: nothing to go on from.
    if (lastStop->point.next <= 0 && !lastStop->point.partial) return fresh;
    const std::string question = ContinueQuestion(inputs, plan, lastStop->point);
    switch (machine.Ask(lastStop->interrupted ? kInterruptedNote + question : question, kContinueCaption)) {
        case Machine::Answer::kYes: return lastStop->point;
        case Machine::Answer::kNo: return fresh;
        case Machine::Answer::kCancel: break;
    }
    return std::nullopt;
}

// The characters of the barcodes before `from`.
double TypedCharsBefore(const RunInputs& inputs, const RunPlan& plan, long long from) {
    RunPlan head = plan;
    head.total = from;
    if (inputs.listMode) head.list.resize(static_cast<size_t>(from));
    return TypedChars(inputs, head);
}

// Why the run cannot start, checked before any input: points off the screens, positions not in one
// window of another program, a page that cannot take our input now.
std::string StartRefusal(Machine& machine, const RunInputs& inputs, const RunPlan& plan, int perPage,
                         WindowOwner& page) {
    const size_t used = std::min(inputs.positions.size(), static_cast<size_t>(perPage));
    const std::vector<int> offScreen = RowsOffScreen(inputs.positions, used, machine.VirtualScreen());
    if (!offScreen.empty()) return OffScreenRefusal(inputs.positions, offScreen);
    const InputTarget target = FindInputTarget(machine, inputs.positions, perPage, plan.total);
    if (!target.refusal.empty()) return target.refusal;
    page = target.page;
    return PageRefusal(machine, page);
}
// Where a run would go now: the positions where their window is (before anything looks at what lies
// under them), the page window, or why it cannot start.
struct PreparedStart {
    std::string refusal;
    WindowFollow follow;
    RunInputs inputs;
    WindowOwner page;
};
PreparedStart PrepareStart(Machine& machine, const RunInputs& given, const RunPlan& plan, int perPage) {
    PreparedStart ready;
    ready.inputs = given;
    ready.follow = FollowWindows(machine, given.positions, std::min(given.positions.size(), static_cast<size_t>(perPage)));
    if (!ready.follow.refusal.empty()) {
        ready.refusal = ready.follow.refusal;
        return ready;
    }
    if (ready.follow.moved) ready.inputs.positions = ready.follow.positions;
    ready.refusal = StartRefusal(machine, ready.inputs, plan, perPage, ready.page);
    return ready;
}
}  // namespace

void StopRun(Machine& machine) {
    EndStopped(machine, kStopMessage);
    machine.ShowMessage(kStopMessage, kStopCaption, true);
}

void StopRunHeldBack(Machine& machine, const std::string& why) {
    EndStopped(machine, why);
    machine.ShowMessage(why, kErrorCaption, false);
}

bool RunInProgress() { return runInProgress; }
bool AutomationRunning() { return g_autoRunning; }
void ForgetRunStop() { lastStop.reset(); }
void SetRunFolder(const std::string& folder) { runFolder = folder; }

bool RunFolderBusy() { return RunUnderWayIn(runFolder); }

std::optional<SavedRun> LoadInterruptedRun() {
    if (RunFolderBusy()) return std::nullopt;  // that run's files are not ours to read or remove
    std::optional<SavedRun> saved = RunStateFiles(runFolder).Load();
    if (saved) lastStop = RunStop{saved->inputs, saved->point, true};
    return saved;
}

std::string ContinueQuestion(const RunInputs& inputs, const RunPlan& plan, const ContinuePoint& point) {
    const long long next = point.next;
    const std::string value = RunValue(inputs, plan, next);
    const BarcodePlace place = PlaceOf(inputs, next);
    const long long page = place.page + 1;
    const std::size_t capture = place.capture + 1;
    std::string text = "Остановка была на значении " + value + " (страница " + std::to_string(page) + ", захват " +
                       std::to_string(capture) + ").";
    if (point.turnDue)
        text += "\nСтраница " + std::to_string(page - 1) + " заполнена, а переход на страницу " +
                std::to_string(page) + " ещё не сделан: при продолжении сначала будет нажато " +
                (inputs.excelMode ? "Ctrl+Page Down." : "Page Down.");
    if (point.partial)
        text += "\nВ ячейке захвата " + std::to_string(capture) +
                " осталась часть этого значения: при продолжении она будет очищена и значение введено заново.";
    return text + "\n\nДа — продолжить с " + value + ",\nНет — начать сначала с " + RunValue(inputs, plan, 0) +
           ",\nОтмена — ничего не делать.";
}

void RunAutomation(Machine& machine, const RunInputs& given) {
    if (runInProgress) return;
    struct InProgress {
        InProgress() { runInProgress = true; }
        ~InProgress() { runInProgress = false; }
    } inProgress;
    const RunFolderClaim folderClaim(runFolder);  // held until the run has ended
    if (!folderClaim.Taken()) {
        machine.ShowMessage(kRunElsewhereMessage, kErrorCaption, false);
        return;
    }

    const RunPlan plan = PlanRun(given);
    if (!plan.refusal.empty()) {
        machine.ShowMessage(plan.refusal, kErrorCaption, false);
        return;
    }
    const int perPage = given.perPage > 0 ? given.perPage : 1;
    // Looked at before the question (a run that cannot start asks nothing) and again once it is
    // answered: the window may have moved while the question was open.
    PreparedStart ready = PrepareStart(machine, given, plan, perPage);
    if (!ready.refusal.empty()) {
        machine.ShowMessage(ready.refusal, kErrorCaption, false);
        return;
    }
    const bool asking = lastStop.has_value();
    const std::optional<ContinuePoint> start = FirstBarcode(machine, ready.inputs, plan);
    if (!start) return;
    if (asking) {
        ready = PrepareStart(machine, given, plan, perPage);
        if (!ready.refusal.empty()) {
            machine.ShowMessage(ready.refusal, kErrorCaption, false);
            return;
        }
    }
    lastStop.reset();
    const WindowFollow& follow = ready.follow;
    const RunInputs& inputs = ready.inputs;
    const WindowOwner page = ready.page;
    if (follow.moved) machine.PositionsFollowed(follow.positions);

    InputGuard guarded(machine, page);
    struct GuardInUse {
        explicit GuardInUse(const InputGuard& in) { runGuard = &in; }
        ~GuardInUse() { runGuard = nullptr; }
    } guardInUse(guarded);
    const std::unique_ptr<WizardWait> wait = MakeWizardWait(delays, inputs.excelMode);
    Current run{inputs, plan, *wait, guarded, perPage, *start,
                TypedChars(inputs, plan) - TypedCharsBefore(inputs, plan, start->next), RunJournal(runFolder),
                RunStateFiles(runFolder), RunTally{}, std::nullopt};
    run.files.Begin(inputs);
    struct CurrentInUse {
        explicit CurrentInUse(Current& in) { current = &in; }
        ~CurrentInUse() { current = nullptr; }
    } currentInUse(run);
    KeepOnDisk();

    g_autoRunning = true;
    machine.InstallEscapeHook();
    machine.BeginPreciseTiming();
    JournalStart(machine, *start);
    if (follow.moved) run.journal.Append(JournalRowWithout(machine, kJournalNoteLead + FollowNote(follow)));
    ShowRunning(machine, true, follow.moved ? FollowNote(follow) : std::string());
    if (!WaitAndGoOn(machine, delays.initialDelay)) return;
    if (!FillFrom(guarded, *wait, inputs, plan, perPage, *start)) return;
    if (!g_autoRunning) return;  // stopped from outside: the stop message was given there
    EndQuietly(machine);
    run.files.Forget();
    RunProgress finished;
    finished.state = RunProgress::State::kFinished;
    finished.stored = finished.total = plan.total;
    machine.ShowProgress(finished);
    machine.ShowMessage(CompletionMessage(run.tally, inputs.excelMode, run.journal.Note()), kFinishedCaption, false);
}
