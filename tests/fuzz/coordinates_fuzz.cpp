// Fuzz target: the coordinates file reader takes any bytes (unmarked lines scaled as at 144 dpi), and
// what it reads is written and read back to the same points.
#include "automation/positions/coordinates.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<Position> read = ParseCoordinates(text, 144);
    const std::string written = FormatCoordinates(read);
    if (FormatCoordinates(ParseCoordinates(written, 144)) != written) std::abort();
    CoordinatesLoadProblem(read.size());
    return 0;
}
