// libFuzzer target: the high-score file reader on arbitrary file contents, and the promise
// that whatever it reads survives a save and a second load unchanged.
#include "game/HighScoreTable.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // tmpfs: save() syncs the file, which costs little there.
    static const std::string dir = "/dev/shm/pyrokettle-fuzz-scores-" + std::to_string(getpid());
    static const int made = mkdir(dir.c_str(), 0700);
    (void)made;
    if (std::FILE* file = std::fopen((dir + "/input.txt").c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    HighScoreTable table(dir + "/input.txt"), copy(dir + "/saved.txt"), reread(dir + "/saved.txt");
    table.load();
    const std::vector<HighScoreEntry> loaded(table.begin(), table.end());
    if (loaded.size() > HighScoreTable::MaxLoadedEntries) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < loaded.size(); ++i) { // finite, highest first, each once, named
        if (!std::isfinite(loaded[i].score) || loaded[i].name.empty() ||
            (i > 0 && !(loaded[i - 1].score > loaded[i].score))) {
            __builtin_trap();
        }
        copy.insert(loaded[i].score, loaded[i].name);
    }
    copy.save();
    reread.load();
    const std::vector<HighScoreEntry> back(reread.begin(), reread.end());
    bool same = back.size() == loaded.size();
    for (std::size_t i = 0; same && i < back.size(); ++i) {
        same = back[i].score == loaded[i].score && back[i].name == loaded[i].name;
    }
    if (!same) {
        __builtin_trap();
    }
    return 0;
}
