// One run per run folder: the copy of the program whose run is under way holds barcode_run.lock there
// for the run's length, so that another copy started in the same folder neither reads, continues nor
// removes that run's files (it would take them for an interrupted run) and starts no run of its own.
#pragma once
#include "platform/file_hold.h"

#include <string>

extern const char* const kRunLockFileName;
extern const char* const kRunElsewhereMessage;

class RunFolderClaim {
public:
    // `folder` is empty for the working folder, or ends with a separator.
    explicit RunFolderClaim(const std::string& folder);
    // False when another copy's run holds the folder. A folder that takes no lock file counts as
    // taken: the run can write none of its files there either, so there is nothing to keep apart.
    bool Taken() const { return taken_; }

private:
    FileHold hold_;
    bool taken_ = false;
};

// At start-up: another copy of the program is running a run in `folder` now.
bool RunUnderWayIn(const std::string& folder);
