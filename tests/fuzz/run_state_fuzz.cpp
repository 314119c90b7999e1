// Fuzz target: the files of an unfinished run are read from a folder anyone can write to. Whatever
// their bytes, reading them never crashes, and what is read back is written again the same way, so a
// continue point can only ever come from files this program wrote.
#include "automation/run/run_state.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
void Check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    RunInputs inputs;
    if (ParseRunInputs(bytes, inputs)) {
        // This version's files read back byte for byte; an earlier version's are written anew in this
        // version's form, which reads back the same.
        const std::string text = RunInputsText(inputs);
        if (bytes.rfind("format=2\r\n", 0) == 0) Check(text == bytes);
        RunInputs again;
        Check(ParseRunInputs(text, again) && RunInputsText(again) == text);
        Check(inputs.perPage >= 1);
    }
    ContinuePoint point;
    std::string hash;
    if (ParseRunPoint(bytes, point, hash)) {
        Check(RunPointText(point, hash) == bytes);
        Check(point.next >= 0 && hash.size() == 64);
    }
    return 0;
}
