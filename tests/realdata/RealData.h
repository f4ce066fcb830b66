#pragma once
// Third-party test files, read in place from the shared realdata folder (never copied into
// the repository). Tests that need them skip, saying why, when the folder is not there.

#include <string>
#include <vector>

namespace realdata {

// REALDATA_DIR + "/" + sub (no check that it exists).
std::string path(const std::string& sub);
bool present(const std::string& sub);
// Names of the regular files in REALDATA_DIR/sub ending with `suffix`, sorted.
std::vector<std::string> files(const std::string& sub, const std::string& suffix);

} // namespace realdata

#define REALDATA_REQUIRE(sub)                                                                      \
    do {                                                                                           \
        if (!realdata::present(sub)) {                                                             \
            GTEST_SKIP() << "third-party test files not found at " << realdata::path(sub)          \
                         << " (the shared realdata folder is not checked out here)";               \
        }                                                                                          \
    } while (false)
