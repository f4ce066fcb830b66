#pragma once
// Third-party test files, read in place from the shared realdata folder (never copied into
// the repository). Tests that need them skip, saying why, when the folder is not there.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace realdata {

// REALDATA_DIR + "/" + sub (no check that it exists); whether it is a folder; the names of
// the regular files in it ending with `suffix`, sorted.
inline std::string path(const std::string& sub) {
    return std::string(REALDATA_DIR) + "/" + sub;
}

inline bool present(const std::string& sub) {
    return std::filesystem::is_directory(path(sub));
}

inline std::vector<std::string> files(const std::string& sub, const std::string& suffix) {
    std::vector<std::string> names;
    std::error_code absent;
    for (const auto& entry : std::filesystem::directory_iterator(path(sub), absent)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace realdata

#define REALDATA_REQUIRE(sub)                                                                      \
    do {                                                                                           \
        if (!realdata::present(sub)) {                                                             \
            GTEST_SKIP() << "third-party test files not found at " << realdata::path(sub)          \
                         << " (the shared realdata folder is not checked out here)";               \
        }                                                                                          \
    } while (false)
