// libFuzzer target: the high-score file reader (HighScoreTable::load) on arbitrary file
// contents, and the promise that whatever it reads survives a save and a second load
// unchanged.
#include "game/HighScoreTable.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// tmpfs where there is one: save() syncs the file to disk, which costs little there.
std::string scratchDirectory() {
    struct stat info {};
    const std::string base = stat("/dev/shm", &info) == 0 ? "/dev/shm" : "/tmp";
    const std::string dir = base + "/pyrokettle-fuzz-scores-" + std::to_string(getpid());
    mkdir(dir.c_str(), 0700);
    return dir;
}

std::vector<HighScoreEntry> entries(const HighScoreTable& table) {
    return std::vector<HighScoreEntry>(table.begin(), table.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string dir = scratchDirectory();
    const std::string input = dir + "/input.txt";
    const std::string saved = dir + "/saved.txt";
    std::FILE* file = std::fopen(input.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    HighScoreTable table(input);
    table.load();
    const std::vector<HighScoreEntry> loaded = entries(table);
    if (loaded.size() > HighScoreTable::MaxLoadedEntries) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        // Finite scores, highest first, each once; names are never empty.
        if (!std::isfinite(loaded[i].score) || loaded[i].name.empty() ||
            (i > 0 && !(loaded[i - 1].score > loaded[i].score))) {
            __builtin_trap();
        }
    }

    // What was read comes back unchanged after a save and a load.
    HighScoreTable copy(saved);
    for (const HighScoreEntry& e : loaded) {
        copy.insert(e.score, e.name);
    }
    copy.save();
    HighScoreTable reread(saved);
    reread.load();
    const std::vector<HighScoreEntry> back = entries(reread);
    if (back.size() != loaded.size()) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < back.size(); ++i) {
        if (back[i].score != loaded[i].score || back[i].name != loaded[i].name) {
            __builtin_trap();
        }
    }
    return 0;
}
