// Recordings: one line and the right exit status for each bad file; the long regression game.
#include "game/Recording.h"
#include "game/Game.h"
#include "game/ReplayCheck.h"

#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

const std::string Replays = std::string(PROJECT_SOURCE_DIR) + "/tests/replays/";
const std::string Good = readFile(Replays + "hops.replay");

// The good recording with its 32-bit header field at `at` set to `value`.
std::string withField(std::size_t at, std::uint32_t value) {
    std::string bytes = Good;
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i));
    }
    return bytes;
}

TEST(Recording, EachBadFileCostsOneLineAndItsExitStatus) {
    Recording good;
    std::string problem, flipped = Good;
    ASSERT_TRUE(good.decode(Good, problem)) << problem;
    const auto changed = [&](auto change) {
        Recording copy = good;
        return change(copy), copy.encode();
    };
    flipped[Good.size() / 2] ^= 0x20;
    const std::tuple<std::string, int, std::string> cases[] = {
        {"", 2, "empty"},
        {"PKRep", 2, "cut short"},
        {Good.substr(0, Good.size() - 9), 2, "cut short"},
        {flipped, 2, "damaged"},
        {Good + "x", 2, "damaged"},
        {"#!/bin/sh\n", 2, "not a Pyrokettle recording"},
        {withField(8, 3), 2, "version 3, this game reads version 2"},
        {withField(16, 0xffffffff), 2, "claims more frames or draws than it holds"},
        {withField(20, good.drawCount + 1), 2, "claims more frames or draws than it holds"},
        {changed([](Recording& r) { r.draws.clear(), r.drawCount = 0; }), 1,
         "the draws run out at frame 1\n"},
        {changed([](Recording& r) { r.times.push_back(0.1f), r.flags.push_back(0); }), 1,
         "the game ends at frame "},
        {changed([](Recording& r) { r.addDraw(0); }), 1, "draws left over: 1\n"},
        {changed([](Recording& r) { r.score = 1e4; }), 1, "it ends with 450, recorded 10000\n"},
    };
    Recording numbers; // a draw of any size reads back as written
    std::size_t at = 0;
    std::uint32_t value = 0;
    for (std::uint32_t drawn : {0u, 127u, 128u, 16384u, 0x7fffffffu}) {
        numbers.addDraw(drawn);
        EXPECT_TRUE(readDraw(numbers.draws, at, value) && value == drawn) << drawn;
    }
    TempDir dir;
    const std::string file = dir.file("r.replay");
    for (const auto& [bytes, status, line] : cases) {
        dir.write("r.replay", bytes);
        CapturedOutput output;
        EXPECT_EQ(verifyRecordingFile(file), status) << line;
        const std::string start = status == 2 ? "FAIL) Cannot replay " + file + ": " + line + "\n"
                                              : "FAIL) " + file + " replays differently: " + line;
        EXPECT_EQ(output.err().substr(0, start.size()), start);
        EXPECT_EQ(std::count(output.err().begin(), output.err().end(), '\n'), 1) << output.err();
        EXPECT_EQ(output.out().rfind("Final Score: ", 0), status == 2 ? std::string::npos : 0u);
    }
    ASSERT_EQ(truncate(file.c_str(), 100 << 20) | mkfifo(dir.file("fifo").c_str(), 0600), 0);
    for (const auto& [path, line] : {std::pair{file, "larger than 64 MiB"},
                                     {dir.file("fifo"), "not a regular file"}, // no hang
                                     {dir.file("none"), "No such file or directory"}}) {
        CapturedOutput output;
        EXPECT_EQ(verifyRecordingFile(path), 2);
        EXPECT_EQ(output.err(), "FAIL) Cannot replay " + path + ": " + line + "\n");
    }
}

// What the whole-game test stands on: one game over a minute long that meets every kind of
// object (taken away while on the screen, or for a frog, spent). Played at 59 frames a
// second, it also shows the size of a minute against its budget: 100 KB at 60.
TEST(Recording, TheLongGameLastsOverAMinuteAndMeetsEveryKindOfObject) {
    Game game;
    game.screenWidth = 800;
    game.screenHeight = 600;
    Recording run;
    std::string problem;
    ASSERT_TRUE(readRecording(Replays + "long.replay", run, problem)) << problem;
    game.tape.replay(run);
    std::set<int> met;
    double seconds = 0;
    float time = 0;
    for (bool paused; game.tape.peekFrame(time, paused);) {
        seconds += paused ? 0 : time;
        std::map<const ScrollObject*, ScrollObjectKind> before;
        for (const auto& object : game.objects) {
            if (object->x >= -64) { // else it leaves in this frame
                before[object.get()] = object->kind;
            }
        }
        ASSERT_TRUE(game.replayNextFrame()) << game.tape.problem();
        for (const auto& object : game.objects) {
            const auto still = before.find(object.get());
            if (still != before.end() && still->second == object->kind) {
                before.erase(still);
            }
        }
        for (const auto& [object, kind] : before) {
            met.insert(kind);
        }
    }
    EXPECT_GT(seconds, 60);
    EXPECT_LT(readFile(Replays + "long.replay").size() / seconds * 60, 100 << 10);
    EXPECT_EQ(met, (std::set<int>{Points100, Points500, Points1000, Penalty, Jumper, HealthBonus}));
}

} // namespace
