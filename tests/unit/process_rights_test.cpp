// The higher-rights decision for every answer the system can give about the receiving process.
#include "automation/watch/process_rights.h"

#include <gtest/gtest.h>

namespace {
constexpr unsigned long kMedium = 0x2000, kHigh = 0x3000, kSystem = 0x4000;

TEST(ProcessRights, OnlyATokenShowingMoreOrHidingItselfMeansHigherRights) {
    const struct {
        const char* name;
        ProcessRightsProbe probe;
        bool higher;
    } cases[] = {
        {"same level", {kMedium, true, true, kMedium}, false},
        {"lower level", {kHigh, true, true, kMedium}, false},
        {"run as administrator", {kMedium, true, true, kHigh}, true},
        {"a system service's window", {kHigh, true, true, kSystem}, true},
        {"opened, token withheld", {kMedium, true, false, 0}, true},
        // Another user's program, or a protected one: input still reaches it.
        {"not opened", {kMedium, false, false, 0}, false},
        {"our own level unknown", {0, true, true, kHigh}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(RightsAreHigher(c.probe), c.higher) << c.name;
}
}  // namespace
