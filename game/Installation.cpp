#include "game/Installation.h"

#include "game/HighScoreTable.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder of the running executable, or "" when the kernel does not tell.
std::string executableFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof path)) {
        return "";
    }
    const std::string exe(path, static_cast<std::size_t>(length));
    return exe.substr(0, exe.rfind('/'));
}

// A relative path would land inside the data directory, which is never written.
const char* absolute(const char* path) {
    return path != nullptr && path[0] == '/' ? path : nullptr;
}

// $<variable>, or else <home>/<fallback>; "" when there is neither.
std::string userFolder(const char* variable, const char* fallback) {
    if (const char* chosen = absolute(std::getenv(variable))) {
        return chosen;
    }
    const char* home = absolute(std::getenv("HOME"));
    if (home == nullptr) {
        const passwd* entry = getpwuid(getuid());
        home = entry != nullptr ? absolute(entry->pw_dir) : nullptr;
    }
    return home != nullptr ? std::string(home) + fallback : std::string();
}

} // namespace

GameFiles locateGameFiles(const std::string& dataFromBin) {
    const std::string folder = executableFolder();
    if (isDirectory("./media") || folder.empty() || !isDirectory(folder + "/" + dataFromBin) ||
        chdir((folder + "/" + dataFromBin).c_str()) != 0) {
        return {HighScoreTable::DefaultPath, "./media/settings"};
    }
    const std::string data = userFolder("XDG_DATA_HOME", "/.local/share");
    const std::string config = userFolder("XDG_CONFIG_HOME", "/.config");
    if (data.empty() || config.empty()) {
        std::fprintf(stderr,
                     "WARN) No home directory (HOME unset, none in the password database); %s\n",
                     data.empty() && config.empty() ? "high scores and settings are not saved"
                     : data.empty()                 ? "high scores are not saved"
                                                    : "settings are not saved");
    }
    return {data.empty() ? "" : data + "/pyrokettle/poon.txt",
            config.empty() ? "" : config + "/pyrokettle/settings"};
}
