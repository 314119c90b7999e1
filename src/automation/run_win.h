// The automation run started by "СТАРТ", its emergency stop and the variable-list switch.
#pragma once
#include <windows.h>

extern HHOOK g_escapeHook;

void StartAutomation();
void StopAutomation();
bool CheckPausePressed();
void ParseVariableList();
void UpdateVariableListVisibility();
LRESULT CALLBACK EscapeHookProc(int nCode, WPARAM wParam, LPARAM lParam);
