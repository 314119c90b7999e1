// Progress on a window's taskbar button, where the system's taskbar offers it; elsewhere nothing.
#pragma once
#include <windows.h>

enum class TaskbarMark { kNone, kNormal, kPaused };

// `done` out of `total` in the given state; kNone clears the mark.
void ShowTaskbarProgress(HWND window, TaskbarMark mark, unsigned long long done, unsigned long long total);
