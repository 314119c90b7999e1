// The higher-rights decision (see process_rights.h).
#include "automation/watch/process_rights.h"

bool RightsAreHigher(const ProcessRightsProbe& probe) {
    if (!probe.opened) return false;
    if (!probe.tokenRead) return true;
    return probe.ownLevel != 0 && probe.level > probe.ownLevel;
}
