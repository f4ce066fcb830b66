#include "game/KeptRuns.h"

#include "game/ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Extension = ".replay";

std::string folderBeside(const std::string& tablePath) {
    const auto slash = tablePath.rfind('/');
    return (slash == std::string::npos ? std::string(".") : tablePath.substr(0, slash)) +
           "/replays";
}

std::string idOf(double score) {
    char id[32];
    std::snprintf(id, sizeof id, "%.17g", score);
    return id;
}

} // namespace

std::string keptRunPath(const std::string& tablePath, double score) {
    return tablePath.empty() ? "" : folderBeside(tablePath) + "/" + idOf(score) + Extension;
}

bool keepRun(const std::string& tablePath, const Recording& recording) {
    const std::string path = keptRunPath(tablePath, recording.score);
    if (path.empty()) {
        return false;
    }
    OldFileBackup noBackup;
    int failure = mkdir(folderBeside(tablePath).c_str(), 0777) == 0 || errno == EEXIST ? 0 : errno;
    failure = failure != 0 ? failure : replaceFile(path, recording.encode(), noBackup);
    if (failure != 0) {
        std::fprintf(stderr, "WARN) Could not keep the run of %s as %s: %s\n",
                     idOf(recording.score).c_str(), path.c_str(), std::strerror(failure));
    }
    return failure == 0;
}

void dropRunsOutside(const HighScoreTable& table) {
    if (table.path().empty()) {
        return;
    }
    std::set<std::string> kept;
    for (auto entry = table.begin();
         entry != table.end() &&
         kept.size() < static_cast<std::size_t>(HighScoreTable::ShownEntries);
         ++entry) {
        kept.insert(idOf(entry->score) + Extension);
    }
    const std::string folder = folderBeside(table.path());
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* file = readdir(dir)) {
        const std::string name = file->d_name;
        if (name.size() <= Extension.size() ||
            name.compare(name.size() - Extension.size(), Extension.size(), Extension) != 0) {
            continue;
        }
        const std::string id = name.substr(0, name.size() - Extension.size());
        char* end = nullptr;
        const double score = std::strtod(id.c_str(), &end);
        if (*end == '\0' && idOf(score) == id && kept.count(name) == 0) {
            unlink((folder + "/" + name).c_str());
        }
    }
    closedir(dir);
}
