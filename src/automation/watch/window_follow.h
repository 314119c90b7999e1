// Positions belong to the window they were captured on: at "СТАРТ" they move with that window when
// it was moved, and the run is refused when the window changed its size or is not there.
#pragma once
#include "automation/input/machine.h"

#include <cstddef>
#include <string>
#include <vector>

struct WindowFollow {
    std::string refusal;              // set when the run cannot start (code page 1251)
    std::vector<Position> positions;  // all of them, those of a moved window moved with it
    bool moved = false;
    WindowOwner window;               // the window the first recorded positions belong to now, if any
    int dx = 0, dy = 0;               // the first window's move
};

// For the first `used` positions with a recorded window: that window now is the visible one of its
// program, class and client size still at the recorded origin (nothing moves), else the only one of
// them: every position recorded on it moves by as much and keeps the new origin. Several of them,
// all moved, or none of that size, or no such window: refused. Positions without a window stay as
// they are.
WindowFollow FollowWindows(Machine& machine, const std::vector<Position>& positions, std::size_t used);

// "Захваты сдвинуты вслед за окном на (dx, dy)", for the caption and the journal.
std::string FollowNote(const WindowFollow& follow);
