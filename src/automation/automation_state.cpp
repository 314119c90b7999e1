// Definitions of the automation engine's shared state.
#include "automation/automation_state.h"

std::vector<Position> positions;
int scrollPos = 0;
int visibleRows = 10;
int currentCaptureIndex = -1;
std::vector<std::string> variableList;
bool g_autoRunning = false;
