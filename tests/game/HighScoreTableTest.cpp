#include "game/HighScoreTable.h"

#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Rows = std::vector<std::pair<double, std::string>>;

Rows rowsOf(const HighScoreTable& table) {
    Rows rows;
    for (const HighScoreEntry& entry : table) {
        rows.emplace_back(entry.score, entry.name);
    }
    return rows;
}

Rows loaded(const std::string& file) {
    HighScoreTable table(file);
    table.load();
    return rowsOf(table);
}

// Loading keeps ten entries, highest first, the first of equal scores; NaN is refused.
TEST(HighScoreTable, ScoresAreUniqueHighestFirstTenAtMost) {
    TempDir dir;
    HighScoreTable table(
        dir.write("poon.txt", "bob 1500 amy 900 joe 1500 a 1 b 2 c 3 d 4 e 5 f 6 g 7 h 8"));
    table.load();
    EXPECT_EQ(table.size(), 9u) << "ten entries read, one a repeated score";
    EXPECT_EQ(table.lowestScore(), 1);
    EXPECT_FALSE(table.insert(1500, "zed") || table.insert(std::nan(""), "nobody"));
    EXPECT_TRUE(table.insert(1200, "zed"));
    const Rows rows = rowsOf(table);
    EXPECT_EQ(Rows(rows.begin(), rows.begin() + 3),
              (Rows{{1500, "bob"}, {1200, "zed"}, {900, "amy"}}));
    EXPECT_EQ(HighScoreTable().lowestScore(), 0.0);
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
        EXPECT_EQ(loaded(dir.write("poon.txt", text)), rows) << '"' << text << '"';
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
        TempDir dir;
        HighScoreTable table(dir.write("poon.txt", text));
        table.load();
        std::filesystem::remove(dir.file("poon.txt")); // so that the save has to write it anew
        CapturedOutput output;
        table.save();
        EXPECT_EQ(output.err(), "");
        EXPECT_EQ(rowsOf(table), rows) << text.substr(0, 40);
        EXPECT_EQ(loaded(dir.file("poon.txt")), rows) << text.substr(0, 40);
    }
    EXPECT_EQ(HighScoreTable::formatLine({12.345678, "a"}) +
                  HighScoreTable::formatLine({1500, "e"}),
              "a   12.345678e   1500");
}

// A folder that cannot be made, or a directory in the file's place.
TEST(HighScoreTable, AFailedSaveWarnsOnceAndKeepsTheTable) {
    TempDir dir;
    for (const std::string& target : {dir.write("file", "") + "/dir/poon.txt", dir.path()}) {
        HighScoreTable failing(target);
        failing.insert(700, "kit");
        failing.load();
        CapturedOutput output;
        failing.save();
        EXPECT_EQ(output.err().rfind("WARN) Could not save high scores to " + target + ": ", 0),
                  0u);
        EXPECT_EQ(std::count(output.err().begin(), output.err().end(), '\n'), 1);
        EXPECT_EQ(rowsOf(failing), (Rows{{700, "kit"}}));
    }
}

} // namespace
