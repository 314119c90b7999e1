// The captured positions: filled by the capture key and the coordinates file, read by the run.
#pragma once
#include <vector>

struct Position {
    int x = 0;  // screen pixels; (0, 0) means not captured yet
    int y = 0;
};

extern std::vector<Position> positions;  // one entry per barcode of a page
