// "СТАРТ": what outlasts a run (its folder, the stop to go on from), the checks and the question
// before a run begins, and the run under way (run_under_way.h) that does the rest.
#include "automation/run/run.h"

#include "automation/run/run_folder.h"
#include "automation/run/run_repeats.h"
#include "automation/run/run_state.h"
#include "automation/run/run_under_way.h"
#include "automation/watch/input_guard.h"
#include "automation/watch/page_evidence.h"
#include "automation/watch/window_follow.h"
#include "delays/delay_settings.h"
#include "platform/captions.h"

#include <algorithm>
#include <optional>

namespace {
// What outlasts a run: where its files go, the stop to go on from and the run under way (null
// outside one). `inProgress` covers RunAutomation's whole call, so that a "СТАРТ" dispatched at a
// pump point or inside the run's own message boxes (stop, refusal) starts no run inside the run.
struct RunSession {
    std::string folder;  // the journal and the unfinished run's files: the working folder unless a test says
    std::optional<RunStop> lastStop;
    const RunUnderWay* current = nullptr;
    bool inProgress = false;
};
RunSession session;

// A stop whose page key went out before its turn was seen: the page in front decides. Unchanged, the
// turn is still due; other contents at every position, it turned; otherwise the point keeps
// `turnUnseen` and the question asks the user to check which page the editor shows.
void LookAtUnseenTurn(Machine& machine, const RunInputs& inputs, const WindowOwner& page) {
    if (!session.lastStop || !session.lastStop->point.turnUnseen) return;
    ContinuePoint& point = session.lastStop->point;
    const PagePicture now = machine.PictureAround(page.window, PagePlaces(inputs, inputs.perPage > 0 ? inputs.perPage : 1));
    switch (PageEvidence::JudgeLater(point.turnFrom, now)) {
        case PageEvidence::LaterTurn::kUnchanged: point.turnDue = true; break;
        case PageEvidence::LaterTurn::kTurned: break;
        case PageEvidence::LaterTurn::kCannotTell: return;
    }
    point.turnUnseen = false;
    point.turnFrom.clear();
}

// Where to begin: the first barcode, or where a stop of the same run left off if the user says
// so; none when the user cancels.
std::optional<ContinuePoint> FirstBarcode(Machine& machine, const RunInputs& inputs, const RunPlan& plan) {
    if (session.lastStop && !SameRunInputs(session.lastStop->inputs, inputs)) session.lastStop.reset();
    const ContinuePoint fresh;
    if (!session.lastStop || session.lastStop->point.next >= plan.total) return fresh;
    // Nothing stored and nothing of the first value typed: nothing to go on from.
    if (session.lastStop->point.next <= 0 && !session.lastStop->point.partial) return fresh;
    const std::string question = ContinueQuestion(inputs, plan, session.lastStop->point);
    switch (machine.Ask(session.lastStop->interrupted ? kInterruptedNote + question : question, kContinueCaption)) {
        case Machine::Answer::kYes: {
            ContinuePoint point = session.lastStop->point;  // the user has looked at the page
            point.turnUnseen = false;
            point.turnFrom.clear();
            return point;
        }
        case Machine::Answer::kNo: return fresh;
        case Machine::Answer::kCancel: break;
    }
    return std::nullopt;
}

// A new run whose values the journals of the run folder record as entered: the user says whether to
// enter them again ("Нет", the default, sends nothing). A journal not read is named, never taken for
// one without those values.
bool RepeatsAgreed(Machine& machine, const RunInputs& inputs, const RunPlan& plan, RepeatNotes& notes) {
    const EarlierEntries earlier = FindEarlierEntries(session.folder, inputs, plan);
    notes.unread = UnreadJournalsText(earlier.unread);
    if (earlier.indices.empty()) return true;
    if (machine.Confirm(RepeatQuestion(inputs, plan, earlier), kRepeatCaption) != Machine::Answer::kYes) return false;
    notes.repeated = static_cast<long long>(earlier.indices.size());
    return true;
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
// Another window of the designer lies over the positions' own (another document opened above it):
// the clicks would fill that one.
std::string CoveredRefusal(Machine& machine, const WindowOwner& over, const WindowOwner& own) {
    const auto name = [&](const WindowOwner& w) {
        const std::string title = machine.WindowTitle(w.window);
        return (title.empty() ? std::string("без заголовка") : "«" + title + "»") + " программы " +
               machine.ProgramName(w.process);
    };
    return "Захваты закрыты окном " + name(over) + ", а захвачены на окне " + name(own) +
           ": щелчки заполнили бы не тот документ.\n\nУберите окно, лежащее поверх, или выведите нужный "
           "документ вперёд и нажмите СТАРТ снова.\nНичего не отправлено.";
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
    const WindowOwner& own = ready.follow.window;
    if (ready.refusal.empty() && own.window && ready.page.window != own.window)
        ready.refusal = CoveredRefusal(machine, ready.page, own);
    return ready;
}
}  // namespace

bool RunInProgress() { return session.inProgress; }
bool AutomationRunning() { return session.current && session.current->Running(); }
void ForgetRunStop() { session.lastStop.reset(); }
void SetRunFolder(const std::string& folder) { session.folder = folder; }

bool RunFolderBusy() { return RunUnderWayIn(session.folder); }

std::optional<SavedRun> LoadInterruptedRun() {
    if (RunFolderBusy()) return std::nullopt;  // that run's files are not ours to read or remove
    std::optional<SavedRun> saved = RunStateFiles(session.folder).Load();
    if (saved) session.lastStop = RunStop{saved->inputs, saved->point, true};
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
    if (point.turnUnseen)
        text += std::string("\n") + (inputs.excelMode ? "Ctrl+Page Down" : "Page Down") + " перед " + value +
                " был отправлен, но смены " + (inputs.excelMode ? "листа" : "страницы") + " не было видно: " +
                (inputs.excelMode ? "лист мог не смениться" : "страница могла не смениться") +
                ". Проверьте, как" + (inputs.excelMode ? "ой лист открыт" : "ая страница открыта") +
                " в редакторе: для " + value + (inputs.excelMode ? " нужен лист " : " нужна страница ") +
                std::to_string(page) + ". При продолжении ничего не будет нажато перед " + value + ".";
    if (point.partial)
        text += "\nВ ячейке захвата " + std::to_string(capture) +
                " осталась часть этого значения: при продолжении она будет очищена и значение введено заново.";
    return text + "\n\nДа — продолжить с " + value + ",\nНет — начать сначала с " + RunValue(inputs, plan, 0) +
           ",\nОтмена — ничего не делать.";
}

void RunAutomation(Machine& machine, const RunInputs& given) {
    if (session.inProgress) return;
    struct InProgress {
        InProgress() { session.inProgress = true; }
        ~InProgress() { session.inProgress = false; }
    } inProgress;
    const RunFolderClaim folderClaim(session.folder);  // held until the run has ended
    if (!folderClaim.Taken()) {
        machine.ShowMessage(kRunElsewhereMessage, kErrorCaption, false);
        return;
    }

    const RunPlan plan = PlanRun(given);
    if (!plan.refusal.empty()) {
        machine.ShowMessage(plan.refusal, kErrorCaption, false);
        return;
    }
    // A list must not repeat a code unless the user allowed it.
    if (given.listMode && !delays.allowListRepeats) {
        const std::string repeated = ListRepeatRefusal(given.listText);
        if (!repeated.empty()) {
            machine.ShowMessage(repeated, kErrorCaption, false);
            return;
        }
    }
    const int perPage = given.perPage > 0 ? given.perPage : 1;
    // Looked at before the question (a run that cannot start asks nothing) and again once it is
    // answered: the window may have moved while the question was open.
    PreparedStart ready = PrepareStart(machine, given, plan, perPage);
    if (!ready.refusal.empty()) {
        machine.ShowMessage(ready.refusal, kErrorCaption, false);
        return;
    }
    LookAtUnseenTurn(machine, ready.inputs, ready.page);
    const bool asking = session.lastStop.has_value();
    const std::optional<ContinuePoint> start = FirstBarcode(machine, ready.inputs, plan);
    if (!start) return;
    RepeatNotes repeats;  // a run that goes on from a stop enters nothing it entered before
    if (*start == ContinuePoint{} && !RepeatsAgreed(machine, given, plan, repeats)) return;
    if (asking || repeats.repeated > 0) {
        ready = PrepareStart(machine, given, plan, perPage);
        if (!ready.refusal.empty()) {
            machine.ShowMessage(ready.refusal, kErrorCaption, false);
            return;
        }
    }
    session.lastStop.reset();
    if (ready.follow.moved) machine.PositionsFollowed(ready.follow.positions);

    RunUnderWay run(machine, ready.inputs, plan, ready.page, *start, session.folder);
    run.NoteRepeats(repeats);
    struct CurrentRun {
        explicit CurrentRun(const RunUnderWay& in) { session.current = &in; }
        ~CurrentRun() { session.current = nullptr; }
    } current(run);
    run.Go(ready.follow);
    session.lastStop = run.Left();
}
