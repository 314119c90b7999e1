// The automation run started by "СТАРТ" on this machine, and its emergency-stop keys.
#pragma once
#include "automation/run.h"

#include <windows.h>

// Runs with what the main window held when "СТАРТ" was pressed; returns when the run has ended.
void StartAutomation(const RunInputs& inputs);
bool CheckPausePressed();
LRESULT CALLBACK EscapeHookProc(int nCode, WPARAM wParam, LPARAM lParam);
