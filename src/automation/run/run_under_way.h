// The run under way: one object that owns what it fills (inputs, plan), how it waits, the guard its
// input goes through and what it has done (the continue point, the record, the files, the journal),
// and whether it may still send input. Checks that the run may go on answer; ending the run is a
// call of its own.
#pragma once
#include "automation/input/machine.h"
#include "automation/run/run_journal.h"
#include "automation/run/run_plan.h"
#include "automation/run/run_record.h"
#include "automation/run/run_state.h"
#include "automation/run/store_decision.h"
#include "automation/watch/input_guard.h"
#include "automation/watch/page_evidence.h"
#include "automation/watch/read_back.h"
#include "automation/watch/window_follow.h"
#include "automation/watch/wizard_wait.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A run that stopped before its end: its inputs and where to go on; `interrupted` when it was found
// in the run folder at start-up (the program had closed).
struct RunStop {
    RunInputs inputs;
    ContinuePoint point;
    bool interrupted = false;
};

// The positions of a page's captures, capture by capture: barcode i of a page uses positions[i mod n].
std::vector<Position> PagePlaces(const RunInputs& inputs, int perPage);

// What a new run says of values entered before: how many of its values it enters again (the user
// said so) and which journals could not be looked at (empty when all were).
struct RepeatNotes {
    long long repeated = 0;
    std::string unread;
};

class RunUnderWay {
public:
    // The run of `plan` over `inputs` into `page` from `start`, its files and journal in `folder`.
    RunUnderWay(Machine& machine, const RunInputs& inputs, const RunPlan& plan, const WindowOwner& page,
                const ContinuePoint& start, const std::string& folder);
    RunUnderWay(const RunUnderWay&) = delete;
    RunUnderWay& operator=(const RunUnderWay&) = delete;

    // Said in the journal's first rows and at the end; before Go.
    void NoteRepeats(const RepeatNotes& notes) { repeats_ = notes; }
    // From the start point to the end (the completion message) or to a stop (its message).
    void Go(const WindowFollow& follow);
    // Input may go out: the run has begun and not yet stopped or ended.
    bool Running() const { return running_; }
    // Where a stop left the run, for the next "СТАРТ" with the same inputs; none once it ended.
    const std::optional<RunStop>& Left() const { return left_; }

private:
    // A value typed into the wizard and what was seen of it; `ok` false when the run stops instead.
    // `seen`: its wizard after the last input (a cell: gone).
    struct Typed {
        bool ok = false;
        BarcodeCheck check = BarcodeCheck::kNotChecked;
        bool retyped = false;
        WizardSeen seen = WizardSeen::kUnseen;
    };
    // When the caption shows a stored barcode: at once, once the gap after it was waited too (the
    // fixed delays see the wizard gone only then), or not at all (the run is ending).
    enum class ShowStored { kBeforeGap, kAfterGap, kNo };

    // --- deciding ---------------------------------------------------------------------------------
    bool MayGoOn();     // nothing pending and not ended
    bool PauseHeld();   // the Pause key is down now

    // --- ending -----------------------------------------------------------------------------------
    // Ends the run for what is pending (Escape, the window closed, input held back or refused), if
    // it still runs; false, so that a step can `return EndHere();`.
    bool EndHere();
    // Ends the run with the user's stop message (Escape, Pause); false as EndHere.
    bool StopForUser();
    // Ends a trial run after its first page, before the page key; false as EndHere.
    bool StopAfterTrialPage();
    // `note` is said with the stop in the caption.
    void Stop(const std::string& message, const std::string& caption, bool informationIcon,
              const std::string& note = std::string());
    void EndClosed();
    void EndQuietly();
    void KeepPoint();
    void Finish();

    // --- the record -------------------------------------------------------------------------------
    void ShowRunning(bool gapWaited, const std::string& note = std::string());
    void JournalRowOf(long long index, const std::string& result);
    JournalRow JournalRowWithout(const std::string& result);
    void KeepOnDisk();
    void Stored(const std::optional<StoredValue>& value, ShowStored show);
    void SettleAtStop();
    bool ConfirmedClosed();

    // --- a barcode --------------------------------------------------------------------------------
    bool FillFrom(const ContinuePoint& start);
    Typed FillInWizard(std::size_t capture, const Position& at, const std::string& value, bool last);
    bool PressEnters(std::size_t maxChars);
    bool FillCell(const Position& at, const std::string& entry, bool clearFirst);

    // --- the value in the wizard ------------------------------------------------------------------
    unsigned LookEveryMs(unsigned fixedMs) const;
    Typed TypeAndCheck(const std::string& value);
    std::optional<FieldRead> FieldBeforeTyping(std::size_t maxChars);
    bool TypeValue(const std::string& value, int typing);
    ReadBackVerdict AwaitField(ReadBack& readBack, std::size_t maxChars, FieldRead* last = nullptr);
    bool ClearedField(const std::string& text, std::size_t maxChars);

    // --- the page ---------------------------------------------------------------------------------
    bool TurnPage();
    PagePicture PageNow() { return guard_.PictureOfPage(pagePlaces_); }
    bool ReadyForKey();
    bool EnterSeenOnSheet();
    void NoteUndrawn();
    bool PageChanged(long long keyAt);
    bool CommitLastCell();

    Machine& machine_;
    InputGuard guard_;
    const RunInputs& inputs_;
    const RunPlan& plan_;
    const int perPage_;
    const std::unique_ptr<WizardWait> wait_;
    const ContinuePoint start_;
    const bool trial_;  // a trial run: a new run with the trial switch on stops after its first page
    ContinuePoint point_;
    double charsLeft_;
    RunJournal journal_;
    RunStateFiles files_;
    RunTally tally_;
    StoreDecision store_;
    std::vector<Position> pagePlaces_;  // the captured positions of a page, capture by capture
    PageEvidence evidence_;
    std::optional<RunStop> left_;
    RepeatNotes repeats_;
    bool running_ = false;
    bool slowTyping_ = false;  // a value had to be typed again: the rest go at the retype pace
    double turnMs_ = 0;        // the page turns after the first click took this long in all, settles included
    double turns_ = 0;
    long long firstClickAt_ = -1;  // this run's first double-click, on the machine's clock
};
