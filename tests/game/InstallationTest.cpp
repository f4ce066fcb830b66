#include "game/Installation.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(Installation, AnInstalledGameKeepsItsScoresInTheUsersDataDirectory) {
    TempDir dir;
    fs::create_directory(dir.file("data"));
    const fs::path fromBin =
        fs::relative(dir.file("data"), fs::read_symlink("/proc/self/exe").parent_path());
    const std::string home = getpwuid(getuid())->pw_dir;
    // XDG_DATA_HOME, XDG_CONFIG_HOME and HOME ("" for unset; only absolute paths count), then
    // the score file and the settings file.
    const std::string cases[][5] = {
        {"/x", "/c", "/h", "/x/pyrokettle/poon.txt", "/c/pyrokettle/settings"},
        {"x", "c", "/h", "/h/.local/share/pyrokettle/poon.txt", "/h/.config/pyrokettle/settings"},
        {"", "", "", home + "/.local/share/pyrokettle/poon.txt",
         home + "/.config/pyrokettle/settings"},
    };
    for (const auto& c : cases) {
        int i = 0;
        for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"}) {
            const std::string& value = c[i++];
            value.empty() ? unsetenv(variable) : setenv(variable, value.c_str(), 1);
        }
        const GameFiles files = locateGameFiles(fromBin);
        EXPECT_EQ(std::tuple(files.scores, files.settings), std::tuple(c[3], c[4])) << c[0];
        EXPECT_EQ(fs::current_path(), fs::path(dir.file("data")));
    }
}
