// The automation run over the machine interface, page by page, with its Pause tests, pump points,
// stops and continue points; what it fills and with which values is its plan (run_plan.h).
#pragma once
#include "automation/input/machine.h"
#include "automation/run/run_messages.h"
#include "automation/run/run_plan.h"
#include "automation/run/run_record.h"

#include <optional>
#include <string>
#include <vector>


// The question asked at "СТАРТ" when a run with the same inputs stopped at `point`.
std::string ContinueQuestion(const RunInputs& inputs, const RunPlan& plan, const ContinuePoint& point);

// StartAutomation over a machine. Returns at once while another run is in progress. A run that
// stops before its end is remembered with the barcode to continue from; a "СТАРТ" with the same
// inputs then asks whether to continue there, begin anew or do nothing.
void RunAutomation(Machine& machine, const RunInputs& inputs);
// Forgets a remembered stop (tests; a new process starts without one).
void ForgetRunStop();
// The folder of the journal and the unfinished run's files, ending with a separator; empty (the
// default) for the working folder.
void SetRunFolder(const std::string& folder);
struct SavedRun;
// At start-up: a run left unfinished in the run folder (the program closed, was killed, the machine
// restarted), remembered as a stop so that "СТАРТ" with its inputs asks to continue; damaged or
// inconsistent files are removed. None, and nothing read or removed, while RunFolderBusy().
std::optional<SavedRun> LoadInterruptedRun();
// Another copy of the program is running a run in the run folder now: "СТАРТ" here would refuse.
bool RunFolderBusy();
bool RunInProgress();
// Input may go out: the run has started and not yet stopped or ended.
bool AutomationRunning();
