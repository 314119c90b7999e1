// The automation run (to be completed).
#include "automation/run_win.h"

HHOOK g_escapeHook = nullptr;

void StartAutomation() {}
void StopAutomation() {}
void UpdateVariableListVisibility() {}
LRESULT CALLBACK EscapeHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(g_escapeHook, nCode, wParam, lParam);
}
