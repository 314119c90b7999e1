// Definition of the captured positions.
#include "automation/positions/automation_state.h"

std::vector<Position> positions;
