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
    const std::string userShare = std::string(getpwuid(getuid())->pw_dir) + "/.local/share";
    // XDG_DATA_HOME and HOME ("" for unset; only absolute paths count), then the score file.
    const std::string cases[][3] = {
        {"/x", "/h", "/x/pyrokettle/poon.txt"},
        {"x", "/h", "/h/.local/share/pyrokettle/poon.txt"},
        {"", "", userShare + "/pyrokettle/poon.txt"},
    };
    for (const auto& c : cases) {
        c[0].empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", c[0].c_str(), 1);
        c[1].empty() ? unsetenv("HOME") : setenv("HOME", c[1].c_str(), 1);
        EXPECT_EQ(locateGameFiles(fromBin), c[2]) << c[0];
        EXPECT_EQ(fs::current_path(), fs::path(dir.file("data")));
    }
}
