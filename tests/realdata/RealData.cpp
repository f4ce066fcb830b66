#include "realdata/RealData.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>

namespace realdata {

std::string path(const std::string& sub) {
    return std::string(REALDATA_DIR) + "/" + sub;
}

bool present(const std::string& sub) {
    struct stat info {};
    return stat(path(sub).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> files(const std::string& sub, const std::string& suffix) {
    std::vector<std::string> names;
    const std::string dir = path(sub);
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            struct stat info {};
            if (name.size() >= suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
                stat((dir + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                names.push_back(name);
            }
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

long peakRssKb() {
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace realdata
