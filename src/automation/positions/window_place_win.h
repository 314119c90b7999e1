// Which top-level window a point lies on and where windows of a program and class are now: what a
// capture records of its window and what "СТАРТ" finds of it again.
#pragma once
#include "automation/positions/coordinates.h"

#include <windows.h>

#include <string>
#include <vector>

// The file name of a process's executable (code page 1251); empty when it cannot be learnt.
std::string ProgramNameOf(DWORD process);
// The top-level window of another program under a screen point (physical pixels), with its client
// area; none on the desktop, on this program's own windows or where the program cannot be named.
CapturedWindow CapturedWindowAt(POINT point);
// The visible, not minimised top-level windows of that program and class, highest first.
std::vector<PlacedWindow> PlacedWindowsOf(const std::string& program, const std::string& className);
