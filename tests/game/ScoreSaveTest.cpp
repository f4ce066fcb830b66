// The high-score save against what a player's disk may hold.
#include "game/HighScoreTable.h"

#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

const std::string Old = "amy 900\n";
const std::string Saved = "amy   900\nzed   5\n";
const std::string Twelve = [] {
    std::string lines;
    for (int i = 12; i > 0; --i) {
        lines += "p" + std::to_string(i) + "   " + std::to_string(i * 100) + "\n";
    }
    return lines;
}();
const char* const Unreadable = "Some lines of {} could not be read";
const char* const OverLong = "{} holds more than ten entries";

// A shell line run beside the folder m holding m/poon.txt, the file's contents, whether
// "nobody" saves (umask 027, 1 KiB file-size limit), the (linked) file's contents afterwards
// ("" for the same) and mode, each save's WARN reason, why m/poon.txt.bak is kept (if it is).
using OnDisk =
    std::tuple<const char*, std::string, bool, std::string, int, const char*, const char*>;

TEST(ScoreSave, EachOnDiskSetupKeepsTheOldTableOrWritesTheNewOne) {
    const OnDisk setups[] = {
        {"chmod 0 m/poon.txt", Old, true, "", 0, "Permission denied", nullptr},
        {"chmod 444 m/poon.txt", Old, true, "", 0444, "Permission denied", nullptr},
        {"chown 0 m/poon.txt; chmod 664 m/poon.txt", Old, true, Saved, 0664, nullptr, nullptr},
        {"rm m/poon.txt", "", false, "zed   5\n", 0640, nullptr, nullptr},
        {"chmod 555 m", Old, true, Saved, 0644, nullptr, nullptr},
        {"mv m/poon.txt m/real && ln -s real m/poon.txt", Old, false, Saved, 0644, nullptr, nullptr},
        {"echo junk > m/.poon.txt.tmp", Old, false, Saved, 0644, nullptr, nullptr},
        {"mkfifo m/.poon.txt.tmp", Old, false, "", 0644, "Invalid argument", nullptr},
        {"python3 -c 'import socket; socket.socket(socket.AF_UNIX).bind(\"m/.poon.txt.tmp\")'",
         Old, false, "", 0644, "Invalid argument", nullptr},
        {"mkdir m/.poon.txt.tmp", Old, false, "", 0644, "Is a directory", nullptr},
        {"true", Old + "mary ann 1\n", false, Saved, 0644, nullptr, Unreadable},
        {"true", Old + std::string(70000, 'q') + " 1\n", false, Saved, 0644, nullptr, Unreadable},
        {"true", Twelve, false, Twelve.substr(0, Twelve.find("p2 ")) + "zed   5\n", 0644, nullptr,
         OverLong},
        {"true", std::string(2000, 'q') + " 1\n", false, "", 0644, "File too large", nullptr},
    };
    const rlimit small{1024, RLIM_INFINITY}, unlimited{RLIM_INFINITY, RLIM_INFINITY};
    std::signal(SIGXFSZ, SIG_IGN);
    umask(027);
    for (const auto& [shell, before, asNobody, after, mode, reason, backup] : setups) {
        SCOPED_TRACE(shell + (" " + before.substr(0, 20)));
        TempDir dir;
        const std::string file = dir.file("m/poon.txt");
        mkdir(dir.file("m").c_str(), 0755);
        chmod(dir.write("m/poon.txt", before).c_str(), 0644);
        const bool drop = asNobody && geteuid() == 0;
        const std::string setup = drop ? " && chmod 755 . && chown -R 65534:65534 m && " : " && ";
        ASSERT_EQ(std::system(("cd " + dir.path() + setup + shell).c_str()), 0);
        ASSERT_FALSE(drop && (setegid(65534) || seteuid(65534)));
        setrlimit(RLIMIT_FSIZE, &small);
        CapturedOutput output;
        HighScoreTable table(file);
        table.load();
        table.insert(5, "zed");
        table.save();
        table.save();
        output.stop();
        setrlimit(RLIMIT_FSIZE, &unlimited);
        ASSERT_FALSE(drop && (seteuid(0) || setegid(0)));
        EXPECT_EQ(int(std::filesystem::status(file).permissions()), mode);
        chmod(file.c_str(), mode | 0400); // so that a test run by its owner can read it
        EXPECT_EQ(readFile(file), after.empty() ? before : after);
        EXPECT_EQ(std::filesystem::is_symlink(file), !!std::strstr(shell, "ln -s"));
        const std::string failed =
            reason ? "WARN) Could not save high scores to " + file + ": " + reason + "\n" : "";
        std::string kept = backup ? backup : "";
        if (backup) {
            kept = "WARN) " + kept.replace(kept.find("{}"), 2, file) +
                   "; the old file is kept as " + file + ".bak\n";
        }
        EXPECT_EQ(output.err(), backup ? kept : failed + failed);
        EXPECT_EQ(readFile(file + ".bak"), backup ? before : "");
        EXPECT_NE(std::system(("find " + dir.file("m") + " -type f -name '*tmp' | grep -q .").c_str()), 0);
    }
}

} // namespace
