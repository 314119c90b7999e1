// Program-wide state of the automation engine that the portable core shares with the shell.
#pragma once
#include <string>
#include <vector>

struct Position {
    int x = 0;  // screen pixels; (0, 0) means not captured yet
    int y = 0;
};

extern std::vector<Position> positions;  // one entry per barcode of a page
extern int scrollPos;                    // index of the entry shown in the top coordinate row
extern int visibleRows;                  // coordinate rows shown at once
extern int currentCaptureIndex;          // entry the pending capture fills
extern std::vector<std::string> variableList;
extern bool g_autoRunning;
