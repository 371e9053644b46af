#pragma once

#include <filesystem>

// Makes the listing of one folder break the way a failing disk does: the system's
// getdents64, which the deletion engine reads folders with, is replaced in this test
// program by one that passes every call through, except for the marked folder, whose
// first read returns only `entries` entries and whose later reads fail with EIO. The
// entries it never returned stay on disk.
void FailListingOf(const std::filesystem::path& folder, int entries);
void StopFailingListings();
