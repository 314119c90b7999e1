// The picture of a page window as the screen shows it, for telling whether a page turn changed it.
#pragma once
#include "automation/input/machine.h"

#include <vector>

#include <windows.h>

// The client area of `window` copied from the screen (physical pixels: this program is aware of
// every monitor's DPI), the caret of its thread left out. Every GDI object it makes is gone when it
// returns. Not taken for a window that is gone, minimised or without a client area.
// With `around` (screen points), the digest of the region around each point too.
PagePicture TakePagePicture(HWND window, const std::vector<Position>& around = {});
