// Which copy of the program may use the run folder's files.
#include "automation/run/run_folder.h"

#include <chrono>
#include <thread>

const char* const kRunLockFileName = "barcode_run.lock";
const char* const kRunElsewhereMessage =
    "В этой рабочей папке идёт прогон другой копии программы.\n"
    "Её журнал и место продолжения не тронуты: дождитесь конца того прогона или запустите программу в другой "
    "папке.";

// Another copy's look at start-up holds the file for a moment too: a file found held is looked at
// twice more before it counts as a run under way.
RunFolderClaim::RunFolderClaim(const std::string& folder) {
    for (int look = 0; look < 3 && !taken_; ++look) {
        if (look > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        taken_ = hold_.Take(folder + kRunLockFileName) != HoldResult::kHeldElsewhere;
    }
}

bool RunUnderWayIn(const std::string& folder) { return !RunFolderClaim(folder).Taken(); }
