// Definition of the captured positions.
#include "automation/automation_state.h"

std::vector<Position> positions;
