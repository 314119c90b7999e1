// The automation run started by "СТАРТ" on this machine, and its emergency-stop keys.
#pragma once
#include "automation/run/run.h"
#include "automation/run/run_state.h"

#include <windows.h>

// Runs with what the main window held when "СТАРТ" was pressed; returns when the run has ended.
void StartAutomation(const RunInputs& inputs);
// At start-up: a run the program left unfinished, for the main window to show; the caption says
// where it was interrupted.
std::optional<SavedRun> RestoreInterruptedRun();
bool CheckPausePressed();
LRESULT CALLBACK EscapeHookProc(int nCode, WPARAM wParam, LPARAM lParam);
