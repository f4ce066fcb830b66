// Hostile high-score files: garbage, binary, huge, absurd names and numbers, CR LF, and a
// directory where the file should be. The table keeps what is valid, and a save and load
// give it back unchanged.
#include "game/HighScoreTable.h"

#include "support/CapturedOutput.h"
#include "support/ScoreRows.h"
#include "support/TempDir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace {

// Loads `contents`, saves into a second file, loads that again: the rows of both loads.
std::pair<Rows, Rows> loadSaveLoad(const std::string& contents) {
    TempDir dir;
    HighScoreTable table(dir.write("poon.txt", contents));
    table.load();
    HighScoreTable copy(dir.file("saved.txt"));
    for (const HighScoreEntry& entry : table) {
        copy.insert(entry.score, entry.name);
    }
    CapturedOutput output;
    copy.save();
    output.stop();
    EXPECT_EQ(output.err(), "");
    HighScoreTable again(dir.file("saved.txt"));
    again.load();
    return {rowsOf(table), rowsOf(again)};
}

TEST(HostileScoreFiles, WhatIsReadSurvivesASaveUnchanged) {
    const std::string longName(10000, 'q');
    const std::pair<std::string, Rows> cases[] = {
        {"amy 900\nbob 1500\n%%%% ][ \xff\xfe garbage lines\ncat 12\n", {{1500, "bob"}, {900, "amy"}}},
        {"bob   1500\r\namy   900\r\n\r\njoe\r\n-750\r\n", {{1500, "bob"}, {900, "amy"}, {-750, "joe"}}},
        {"amy 900\n" + longName + "   1234\n", {{1234, longName}, {900, "amy"}}},
        // Found by fuzzing: a NUL in a name cut the saved line short, losing that entry and
        // every one after it on the next load.
        {std::string("zed 3\na\0b 2\ncat 1\n", 18), {{3, "zed"}, {2, std::string("a\0b", 3)}, {1, "cat"}}},
    };
    for (const auto& [text, rows] : cases) {
        const auto [loaded, reloaded] = loadSaveLoad(text);
        EXPECT_EQ(loaded, rows) << text.substr(0, 40);
        EXPECT_EQ(reloaded, loaded) << text.substr(0, 40);
    }
    for (const char* bad : {"nan", "NaN", "-nan", "inf", "-inf", "Infinity", "1e999", "-1e999"}) {
        const auto [loaded, reloaded] = loadSaveLoad(std::string("amy 900\nbob ") + bad + "\ncat 100\n");
        EXPECT_EQ(loaded, (Rows{{900, "amy"}})) << bad;
        EXPECT_EQ(reloaded, loaded) << bad;
    }
}

TEST(HostileScoreFiles, BinaryNoiseNeverLosesWhatWasRead) {
    std::mt19937 random(20240613);
    // Mostly digits, signs and blanks, so that entries do get read.
    const char alphabet[] = "0123456789 \t\r\n.-+eE\0\x01\x7f\x80\xff" "abc";
    for (int round = 0; round < 200; ++round) {
        std::string noise(1 + random() % 400, '\0');
        for (char& c : noise) {
            c = alphabet[random() % (sizeof alphabet - 1)];
        }
        const auto [loaded, reloaded] = loadSaveLoad(noise);
        ASSERT_EQ(reloaded, loaded) << "round " << round;
        ASSERT_LE(loaded.size(), HighScoreTable::MaxLoadedEntries);
    }
}

// Scores from a hand-edited file that six digits do not hold are written with more.
TEST(HostileScoreFiles, FractionsKeepEveryDigitTheyNeed) {
    const auto [loaded, reloaded] =
        loadSaveLoad("a 12.345678 b 12.345679 c 0.1 d 999999.5 e 1e-300 f -0.000001234567\n");
    ASSERT_EQ(loaded.size(), 6u);
    EXPECT_EQ(reloaded, loaded);
    EXPECT_EQ(HighScoreTable::formatLine({12.345678, "a"}), "a   12.345678");
    EXPECT_EQ(HighScoreTable::formatLine({0.1, "c"}), "c   0.1");
    EXPECT_EQ(HighScoreTable::formatLine({1500, "e"}), "e   1500");
}

TEST(HostileScoreFiles, AHugeFileCostsOnlyItsFirstTenEntries) {
    TempDir dir;
    std::string huge;
    huge.reserve(10u << 20);
    for (int i = 0; huge.size() < (10u << 20); ++i) {
        huge += "player" + std::to_string(i) + "   " + std::to_string(100000 - i) + "\n";
    }
    HighScoreTable table(dir.write("poon.txt", huge));
    const auto start = std::chrono::steady_clock::now();
    table.load();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.5);
    ASSERT_EQ(table.size(), 10u);
    EXPECT_EQ(table.begin()->name, "player0");
    EXPECT_EQ(table.lowestScore(), 99991);
}

TEST(HostileScoreFiles, ADirectoryInTheFilesPlaceIsLeftAloneAndReported) {
    TempDir dir;
    const std::string path = dir.file("poon.txt");
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    HighScoreTable table(path);
    table.insert(700, "kit");
    table.load(); // not a file: the table keeps what it held
    CapturedOutput output;
    table.save();
    output.stop();
    EXPECT_EQ(output.err(), "WARN) Could not save high scores to " + path + ": Is a directory\n");
    EXPECT_EQ(rowsOf(table), (Rows{{700, "kit"}}));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode)) << "the directory was replaced";
}

} // namespace
