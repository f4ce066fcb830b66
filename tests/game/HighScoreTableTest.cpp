#include "game/HighScoreTable.h"

#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace {

using Rows = std::vector<std::pair<double, std::string>>;

Rows rowsOf(const HighScoreTable& table) {
    Rows rows;
    for (const HighScoreEntry& entry : table) {
        rows.emplace_back(entry.score, entry.name);
    }
    return rows;
}

Rows load(const TempDir& dir, const std::string& contents) {
    HighScoreTable table(dir.write("poon.txt", contents));
    table.load();
    return rowsOf(table);
}

// Loads `contents`, saves what was read into a second file and loads that: the rows of both.
std::pair<Rows, Rows> loadSaveLoad(const std::string& contents) {
    TempDir dir;
    HighScoreTable table(dir.write("poon.txt", contents)), copy(dir.file("saved.txt"));
    table.load();
    for (const HighScoreEntry& entry : table) {
        copy.insert(entry.score, entry.name);
    }
    CapturedOutput output;
    copy.save();
    EXPECT_EQ(output.err(), "");
    HighScoreTable again(dir.file("saved.txt"));
    again.load();
    return {rowsOf(table), rowsOf(again)};
}

TEST(HighScoreTable, ScoresAreUniqueTheFirstStaysAndNaNIsRefused) {
    TempDir dir;
    HighScoreTable table(dir.write("poon.txt", "bob   1500\namy   900\njoe   1500\n"));
    table.load();
    EXPECT_FALSE(table.insert(1500, "zed"));
    EXPECT_TRUE(table.insert(1200, "zed"));
    EXPECT_FALSE(table.insert(std::nan(""), "nobody"));
    EXPECT_EQ(rowsOf(table), (Rows{{1500, "bob"}, {1200, "zed"}, {900, "amy"}}));
    EXPECT_EQ(table.lowestScore(), 900);
    EXPECT_EQ(HighScoreTable().lowestScore(), 0.0);
}

TEST(HighScoreTable, ElevenEntriesAreSavedHighestFirstAndTheTenBestLoadBack) {
    TempDir dir;
    HighScoreTable table(dir.file("poon.txt"));
    std::string expected;
    for (int i = 11; i >= 1; --i) {
        table.insert(i * 100 - 750, "p" + std::to_string(i));
        expected += "p" + std::to_string(i) + "   " + std::to_string(i * 100 - 750) + "\n";
    }
    table.save();
    EXPECT_EQ(readFile(dir.file("poon.txt")), expected);
    HighScoreTable reloaded(dir.file("poon.txt"));
    reloaded.load();
    EXPECT_EQ(reloaded.size(), 10u);
    EXPECT_EQ(reloaded.lowestScore(), -550); // p1's -650 is the eleventh line
}

TEST(HighScoreTable, ReadsAnyWhitespaceAndNumberFormAndStopsAtTheFirstUnreadableEntry) {
    TempDir dir;
    const Rows three = {{2500000, "cat"}, {12.5, "bob"}, {-750, "amy"}};
    const std::pair<const char*, Rows> cases[] = {
        {"cat   2.5e+006\nbob   12.5\namy   -750\n", three},
        {"cat 2.5e+006\r\n\r\nbob\t12.5\r\namy\r\n -750\r\n", three},
        {"cat 2.5E6 bob +12.50 amy -750.", three},
        {"", {}},
        {"\x01\x02\xff\xfe binary", {}},
        {"bob 300\nmary ann 200\njoe 100\n", {{300, "bob"}}}, // a name with a blank
        {"bob 300\namy nan\njoe 100\n", {{300, "bob"}}},
        {"bob 300\namy -inf\njoe 100\n", {{300, "bob"}}},
        {"bob 300\namy 1e999\njoe 100\n", {{300, "bob"}}},
        {"bob 300\namy", {{300, "bob"}}},
        // A number stops at the longest prefix; the rest is the next name.
        {"bob 300abc 5 joe 100", {{300, "bob"}, {100, "joe"}, {5, "abc"}}},
        {"bob 12e joe 100", {{12, "bob"}}},
    };
    for (const auto& [text, rows] : cases) {
        EXPECT_EQ(load(dir, text), rows) << '"' << text << '"';
    }
    HighScoreTable absent(dir.file("absent.txt"));
    absent.insert(100, "kept");
    absent.load();
    EXPECT_EQ(rowsOf(absent), (Rows{{100, "kept"}})) << "a missing file changes nothing";
}

TEST(HighScoreTable, WhatIsReadSurvivesASaveUnchanged) {
    const std::string longName(10000, 'q');
    const std::pair<std::string, Rows> cases[] = {
        {"n 2500000 n 1234567 n 1234568 n -3000001 n 999999",
         {{2500000, "n"}, {1234568, "n"}, {1234567, "n"}, {999999, "n"}, {-3000001, "n"}}},
        {"a 12.345678 b 12.345679 c 0.1 d 999999.5 e 1e-300",
         {{999999.5, "d"}, {12.345679, "b"}, {12.345678, "a"}, {0.1, "c"}, {1e-300, "e"}}},
        {"amy 900\n" + longName + "   1234\n", {{1234, longName}, {900, "amy"}}},
        // A NUL in a name once cut the saved line short, losing it and every entry after it.
        {std::string("zed 3\na\0b 2\ncat 1\n", 18),
         {{3, "zed"}, {2, std::string("a\0b", 3)}, {1, "cat"}}},
    };
    for (const auto& [text, rows] : cases) {
        const auto [loaded, reloaded] = loadSaveLoad(text);
        EXPECT_EQ(loaded, rows) << text.substr(0, 40);
        EXPECT_EQ(reloaded, loaded) << text.substr(0, 40);
    }
    EXPECT_EQ(HighScoreTable::formatLine({12.345678, "a"}) +
                  HighScoreTable::formatLine({1500, "e"}),
              "a   12.345678e   1500");
    std::mt19937 random(20240613);
    const char alphabet[] = "0123456789 \t\r\n.-+eE\0\x01\x7f\x80\xff"
                            "abc";
    for (int round = 0; round < 200; ++round) {
        std::string noise(1 + random() % 400, '\0');
        for (char& c : noise) {
            c = alphabet[random() % (sizeof alphabet - 1)];
        }
        const auto [loaded, reloaded] = loadSaveLoad(noise);
        ASSERT_EQ(reloaded, loaded) << "round " << round;
    }
}

TEST(HighScoreTable, AHugeFileCostsOnlyItsFirstTenEntries) {
    TempDir dir;
    std::string huge;
    for (int i = 0; huge.size() < (10u << 20); ++i) {
        huge += "player" + std::to_string(i) + "   " + std::to_string(100000 - i) + "\n";
    }
    HighScoreTable table(dir.write("poon.txt", huge));
    const auto start = std::chrono::steady_clock::now();
    table.load();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.5);
    EXPECT_EQ(table.size(), 10u);
    EXPECT_EQ(table.lowestScore(), 99991);
}

TEST(HighScoreTable, SavingReplacesTheFileWholeAndAFailedSaveKeepsWhatIsThereAndWarns) {
    TempDir dir;
    const std::string path = dir.write("poon.txt", "a 1\nb 2\nc 3\nd 4\n");
    HighScoreTable table(path);
    table.insert(7, "solo");
    table.save();
    EXPECT_EQ(readFile(path), "solo   7\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no temporary file left";

    const std::string folder = dir.file("poon-dir");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    // A missing folder is made; one with a file in its way cannot be.
    for (const std::string& target : {dir.write("file", "") + "/dir/poon.txt", folder}) {
        HighScoreTable failing(target);
        failing.insert(700, "kit");
        failing.load(); // not a file: the table keeps what it held
        CapturedOutput output;
        failing.save();
        EXPECT_EQ(output.err().rfind("WARN) Could not save high scores to " + target + ": ", 0), 0u)
            << output.err();
        EXPECT_EQ(std::count(output.err().begin(), output.err().end(), '\n'), 1);
        EXPECT_EQ(rowsOf(failing), (Rows{{700, "kit"}}));
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder))
        << "the directory in the file's place was replaced";
}

} // namespace
