#pragma once

#include <cstdint>

// The junk scan's counters. They live in the cleaning window for the whole run: the
// scanned count is never reset, the other two start again with every whole scan.
struct TScanCounters {
    int64_t FScannedCount = 0; // files and folders examined
    int64_t FJunkCount = 0;    // junk-type files and empty folders listed
    int64_t FJunkSize = 0;     // bytes of the junk-type files listed
};
