// Whether input to another program would be dropped for its higher rights, decided from what the
// system let us learn about its process.
#pragma once

// What asking the system about a process gave. Integrity levels are the mandatory label's last
// sub-authority (medium 0x2000, high 0x3000); 0 when unknown.
struct ProcessRightsProbe {
    unsigned long ownLevel = 0;
    bool opened = false;      // the process could be opened for a limited query
    bool tokenRead = false;   // and its token's integrity level was read
    unsigned long level = 0;  // that level
};

// Higher rights only on evidence: a token that shows a higher level than ours, or one that an opened
// process does not let us read. A process that cannot be opened at all (another user's, a protected
// one) proves nothing: input still reaches it, and the run's guard checks every input anyway.
bool RightsAreHigher(const ProcessRightsProbe& probe);
