#include "realdata/RealData.h"

#include <algorithm>
#include <filesystem>

namespace realdata {

std::string path(const std::string& sub) {
    return std::string(REALDATA_DIR) + "/" + sub;
}

bool present(const std::string& sub) {
    return std::filesystem::is_directory(path(sub));
}

std::vector<std::string> files(const std::string& sub, const std::string& suffix) {
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
