#pragma once
// Where the third-party test files live (read in place, never copied into the repository),
// and small helpers for walking them. Tests that use them skip, saying why, when the
// folder is not there.

#include <string>
#include <vector>

namespace realdata {

// REALDATA_DIR + "/" + sub (no check that it exists).
std::string path(const std::string& sub);

// Whether REALDATA_DIR/sub is a directory.
bool present(const std::string& sub);

// Names (not paths) of the regular files in REALDATA_DIR/sub whose names end with
// `suffix`, sorted.
std::vector<std::string> files(const std::string& sub, const std::string& suffix);

// The whole file, or "" when it cannot be read.
std::string contents(const std::string& file);

// Peak resident set size of this process so far, in kilobytes.
long peakRssKb();

} // namespace realdata

// Skips the calling test when the folder is absent.
#define REALDATA_REQUIRE(sub)                                                                  \
    do {                                                                                       \
        if (!realdata::present(sub)) {                                                         \
            GTEST_SKIP() << "third-party test files not found at " << realdata::path(sub)      \
                         << " (the shared realdata folder is not checked out here)";           \
        }                                                                                      \
    } while (false)
