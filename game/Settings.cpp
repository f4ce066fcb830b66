#include "game/Settings.h"

#include "game/ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

constexpr off_t LargestFile = 64 * 1024;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    const auto last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

bool readYesNo(const std::string& value, bool& choice) {
    if (value != "yes" && value != "no") {
        return false;
    }
    choice = value == "yes";
    return true;
}

// "<width>x<height>", each a plain decimal number from 1 to Settings::LargestSide.
bool readSize(const std::string& value, int& width, int& height) {
    unsigned w = 0, h = 0;
    int used = 0;
    if (value.find_first_not_of("0123456789x") != std::string::npos ||
        std::sscanf(value.c_str(), "%5ux%5u%n", &w, &h, &used) != 2 ||
        used != static_cast<int>(value.size()) || w < 1 || h < 1 || w > Settings::LargestSide ||
        h > Settings::LargestSide) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

const char* yesNo(bool choice) {
    return choice ? "yes" : "no";
}

} // namespace

Settings::Settings(std::string path) : path_(std::move(path)) {}

void Settings::load() {
    struct stat info {};
    int problem = stat(path_.c_str(), &info) == 0 ? 0 : errno;
    if (path_.empty() || problem == ENOENT) {
        return;
    }
    if (problem == 0 && !S_ISREG(info.st_mode)) {
        problem = S_ISDIR(info.st_mode) ? EISDIR : EINVAL; // a pipe would block the start
    } else if (problem == 0 && info.st_size > LargestFile) {
        problem = EFBIG;
    }
    std::ifstream in;
    if (problem == 0) {
        errno = 0;
        in.open(path_, std::ios::binary);
        problem = in ? 0 : errno != 0 ? errno : EACCES;
    }
    if (problem != 0) {
        std::fprintf(stderr, "WARN) Could not read settings from %s: %s\n", path_.c_str(),
                     std::strerror(problem));
        return;
    }
    bool ignored = false;
    for (std::string line; std::getline(in, line);) {
        const auto equals = line.find('=');
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value =
            equals == std::string::npos ? "" : trimmed(line.substr(equals + 1));
        const bool understood = trimmed(line).empty() ||
                                (key == "fullscreen" && readYesNo(value, fullscreen)) ||
                                (key == "muted" && readYesNo(value, muted)) ||
                                (key == "window" && readSize(value, windowWidth, windowHeight));
        ignored = ignored || !understood;
    }
    if (ignored) {
        std::fprintf(stderr, "WARN) Some lines of %s were not understood and are ignored\n",
                     path_.c_str());
    }
}

void Settings::save() {
    if (path_.empty()) {
        return;
    }
    std::string contents = std::string("fullscreen = ") + yesNo(fullscreen) + "\n";
    if (windowWidth > 0 && windowHeight > 0) {
        contents +=
            "window = " + std::to_string(windowWidth) + "x" + std::to_string(windowHeight) + "\n";
    }
    contents += std::string("muted = ") + yesNo(muted) + "\n";

    std::error_code folder;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), folder);
    OldFileBackup noBackup;
    const int failure = folder ? folder.value() : replaceFile(path_, contents, noBackup);
    if (failure != 0 && !saveFailed_) {
        std::fprintf(stderr, "WARN) Could not save settings to %s: %s\n", path_.c_str(),
                     std::strerror(failure));
    }
    saveFailed_ = saveFailed_ || failure != 0;
}
