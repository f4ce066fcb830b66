// Hostile high-score files: garbage, binary, huge, absurd names and numbers, CR LF, and a
// directory where the file should be. The table keeps what is valid, a save writes it,
// and nothing valid is lost on the way back.
#include "game/HighScoreTable.h"

#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

using Rows = std::vector<std::pair<double, std::string>>;

Rows rowsOf(const HighScoreTable& table) {
    Rows rows;
    for (const HighScoreEntry& entry : table) {
        rows.emplace_back(entry.score, entry.name);
    }
    return rows;
}

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

TEST(HostileScoreFiles, GarbageAfterValidEntriesEndsTheReadingThere) {
    const auto [loaded, reloaded] =
        loadSaveLoad("amy 900\nbob 1500\n%%%% ][ \xff\xfe garbage lines\ncat 12\n");
    EXPECT_EQ(loaded, (Rows{{1500, "bob"}, {900, "amy"}}));
    EXPECT_EQ(reloaded, loaded);
}

TEST(HostileScoreFiles, BinaryNoiseNeverLosesWhatWasRead) {
    std::mt19937 random(20240613);
    for (int round = 0; round < 200; ++round) {
        std::string noise(1 + random() % 400, '\0');
        for (char& c : noise) {
            // Mostly digits, signs and blanks, so that entries do get read.
            const char alphabet[] = "0123456789 \t\r\n.-+eE\0\x01\x7f\x80\xff" "abc";
            c = alphabet[random() % (sizeof alphabet - 1)];
        }
        const auto [loaded, reloaded] = loadSaveLoad(noise);
        ASSERT_EQ(reloaded, loaded) << "round " << round;
        ASSERT_LE(loaded.size(), HighScoreTable::MaxLoadedEntries);
    }
}

// Found by fuzzing: a name may hold a NUL byte, and the save wrote the line as a C string,
// so the line lost its score and the next load dropped it and every entry after it.
TEST(HostileScoreFiles, ANameHoldingANulByteSurvivesASave) {
    const auto [loaded, reloaded] = loadSaveLoad(std::string("zed 3\na\0b 2\ncat 1\n", 18));
    EXPECT_EQ(loaded, (Rows{{3, "zed"}, {2, std::string("a\0b", 3)}, {1, "cat"}}));
    EXPECT_EQ(reloaded, loaded);
}

// Scores from a hand-edited file that six digits do not hold are written with more.
TEST(HostileScoreFiles, FractionsKeepEveryDigitTheyNeed) {
    const auto [loaded, reloaded] =
        loadSaveLoad("a 12.345678 b 12.345679 c 0.1 d 999999.5 e 1e-300 f -0.000001234567\n");
    ASSERT_EQ(loaded.size(), 6u);
    EXPECT_EQ(reloaded, loaded);
    EXPECT_EQ(HighScoreTable::formatLine({12.345678, "a"}), "a   12.345678");
    EXPECT_EQ(HighScoreTable::formatLine({0.1, "c"}), "c   0.1");
    EXPECT_EQ(HighScoreTable::formatLine({999999.5, "d"}), "d   999999.5");
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
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took.count(), 0.5);
    ASSERT_EQ(table.size(), 10u);
    EXPECT_EQ(table.begin()->name, "player0");
    EXPECT_EQ(table.lowestScore(), 99991);
}

TEST(HostileScoreFiles, ATenThousandCharacterNameIsKeptWhole) {
    const std::string name(10000, 'q');
    const auto [loaded, reloaded] = loadSaveLoad("amy 900\n" + name + "   1234\n");
    EXPECT_EQ(loaded, (Rows{{1234, name}, {900, "amy"}}));
    EXPECT_EQ(reloaded, loaded);
}

TEST(HostileScoreFiles, NotANumberAndInfinitiesEndTheReading) {
    for (const char* bad : {"nan", "NaN", "-nan", "inf", "-inf", "Infinity", "1e999", "-1e999"}) {
        const auto [loaded, reloaded] =
            loadSaveLoad(std::string("amy 900\nbob ") + bad + "\ncat 100\n");
        EXPECT_EQ(loaded, (Rows{{900, "amy"}})) << bad;
        EXPECT_EQ(reloaded, loaded) << bad;
    }
}

TEST(HostileScoreFiles, CrLfLineEndsReadLikeLineFeeds) {
    const auto [loaded, reloaded] = loadSaveLoad("bob   1500\r\namy   900\r\n\r\njoe\r\n-750\r\n");
    EXPECT_EQ(loaded, (Rows{{1500, "bob"}, {900, "amy"}, {-750, "joe"}}));
    EXPECT_EQ(reloaded, loaded);
}

TEST(HostileScoreFiles, ADirectoryInTheFilesPlaceIsLeftAloneAndReported) {
    TempDir dir;
    const std::string path = dir.file("poon.txt");
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    HighScoreTable table(path);
    table.insert(700, "kit");
    table.load(); // not a file: the table keeps what it held
    EXPECT_EQ(rowsOf(table), (Rows{{700, "kit"}}));

    CapturedOutput output;
    table.save();
    output.stop();
    EXPECT_EQ(output.err(),
              "WARN) Could not save high scores to " + path + ": Is a directory\n");
    EXPECT_EQ(rowsOf(table), (Rows{{700, "kit"}}));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode)) << "the directory was replaced";
}

} // namespace
