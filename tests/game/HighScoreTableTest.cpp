#include "game/HighScoreTable.h"

#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>
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

HighScoreTable loadFrom(const TempDir& dir, const std::string& contents) {
    HighScoreTable table(dir.write("poon.txt", contents));
    table.load();
    return table;
}

TEST(HighScoreTable, DefaultsToTheMediaFile) {
    EXPECT_EQ(HighScoreTable().path(), "./media/poon.txt");
}

TEST(HighScoreTable, DuplicateScoresKeepTheFirstLine) {
    TempDir dir;
    HighScoreTable table = loadFrom(dir, "bob   1500\namy   900\njoe   1500\n");
    EXPECT_EQ(rowsOf(table), (Rows{{1500, "bob"}, {900, "amy"}}));

    EXPECT_FALSE(table.insert(1500, "zed"));
    EXPECT_TRUE(table.insert(1200, "zed"));
    EXPECT_EQ(rowsOf(table), (Rows{{1500, "bob"}, {1200, "zed"}, {900, "amy"}}));
}

TEST(HighScoreTable, ElevenEntriesAreSavedAndTheTenBestLoadBack) {
    TempDir dir;
    HighScoreTable table(dir.file("poon.txt"));
    for (int i = 1; i <= 11; ++i) {
        table.insert(i * 100 - 750, "p" + std::to_string(i));
    }
    table.save();

    std::string expected;
    for (int i = 11; i >= 1; --i) {
        expected += "p" + std::to_string(i) + "   " + std::to_string(i * 100 - 750) + "\n";
    }
    EXPECT_EQ(readFile(dir.file("poon.txt")), expected);

    HighScoreTable reloaded(dir.file("poon.txt"));
    reloaded.load();
    ASSERT_EQ(reloaded.size(), 10u);
    EXPECT_EQ(reloaded.begin()->score, 350);
    EXPECT_EQ(reloaded.lowestScore(), -550); // p2; p1's -650 is the eleventh line
}

TEST(HighScoreTable, ReadsAnyWhitespaceLineEndsAndNumberForms) {
    TempDir dir;
    const Rows expected{{2500000, "cat"}, {12.5, "bob"}, {-750, "amy"}};
    for (const char* text : {
             "cat   2.5e+006\nbob   12.5\namy   -750\n",
             "cat 2.5e+006\r\nbob\t12.5\r\namy \t -750\r\n",
             "cat 2500000 bob 12.5 amy -750",
             "cat 2.5E6 bob +12.50 amy -750.",
         }) {
        EXPECT_EQ(rowsOf(loadFrom(dir, text)), expected) << text;
    }
}

TEST(HighScoreTable, ReadingStopsAtTheFirstUnreadableEntry) {
    TempDir dir;
    const std::pair<const char*, Rows> cases[] = {
        {"", {}},
        {"\n\n  \n", {}},
        {"garbage", {}},
        {"\x01\x02\xff\xfe binary", {}},
        // A name with a blank: its second word is not a number.
        {"bob 300\nmary ann 200\njoe 100\n", {{300, "bob"}}},
        {"bob 300\namy nan\njoe 100\n", {{300, "bob"}}},
        {"bob 300\namy inf\n", {{300, "bob"}}},
        {"bob 300\namy 1e999\njoe 100\n", {{300, "bob"}}},
        {"bob 300\namy", {{300, "bob"}}},
        // A number stops at the longest prefix; the rest is the next name.
        {"bob 300abc 5 joe 100", {{300, "bob"}, {100, "joe"}, {5, "abc"}}},
        {"bob 12e joe 100", {{12, "bob"}}},
    };
    for (const auto& [text, rows] : cases) {
        HighScoreTable table(dir.write("poon.txt", text));
        table.insert(42, "previous");
        table.load();
        EXPECT_EQ(rowsOf(table), rows) << '"' << text << '"';
    }
}

TEST(HighScoreTable, AMissingFileLeavesTheTableUnchanged) {
    TempDir dir;
    HighScoreTable table(dir.file("absent.txt"));
    table.insert(100, "kept");
    table.load();
    EXPECT_EQ(rowsOf(table), (Rows{{100, "kept"}}));

    mkdir(dir.file("folder").c_str(), 0755);
    HighScoreTable onDirectory(dir.file("folder"));
    onDirectory.insert(100, "kept");
    onDirectory.load();
    EXPECT_EQ(rowsOf(onDirectory), (Rows{{100, "kept"}}));
}

TEST(HighScoreTable, LargeScoresSurviveSaveAndLoadExactly) {
    TempDir dir;
    HighScoreTable table(dir.file("poon.txt"));
    table.insert(2500000, "a");
    table.insert(1234567, "b");
    table.insert(1234568, "c"); // would merge with b at six digits
    table.insert(-3000001, "d");
    table.insert(999999, "e");
    table.save();
    EXPECT_EQ(readFile(dir.file("poon.txt")),
              "a   2500000\nc   1234568\nb   1234567\ne   999999\nd   -3000001\n");

    HighScoreTable reloaded(dir.file("poon.txt"));
    reloaded.load();
    EXPECT_EQ(rowsOf(reloaded), rowsOf(table));
}

TEST(HighScoreTable, AFailedSaveKeepsThePreviousFileAndWarns) {
    // Root ignores directory permissions, so the read-only case is checked only for other
    // users; a missing directory fails for everyone.
    TempDir dir;
    const std::string path = dir.write("poon.txt", "old   100\n");
    HighScoreTable table(path);
    table.load();
    table.insert(200, "new");

    chmod(dir.path().c_str(), 0555);
    CapturedOutput readOnly;
    table.save();
    readOnly.stop();
    chmod(dir.path().c_str(), 0755);
    if (geteuid() != 0) {
        EXPECT_EQ(readFile(path), "old   100\n");
        EXPECT_EQ(readOnly.err().rfind("WARN) ", 0), 0u) << readOnly.err();
        EXPECT_NE(readOnly.err().find(path), std::string::npos);
    }

    HighScoreTable elsewhere(dir.file("no/such/dir/poon.txt"));
    elsewhere.insert(1, "x");
    CapturedOutput missingDir;
    elsewhere.save();
    EXPECT_EQ(missingDir.err().rfind("WARN) ", 0), 0u);
    EXPECT_NE(missingDir.err().find("no/such/dir/poon.txt"), std::string::npos);
    EXPECT_EQ(std::count(missingDir.err().begin(), missingDir.err().end(), '\n'), 1);
    EXPECT_EQ(table.size(), 2u);
}

TEST(HighScoreTable, SavingReplacesTheFileWholeAndLeavesNoTemporaryBehind) {
    TempDir dir;
    const std::string path = dir.write("poon.txt", "a 1\nb 2\nc 3\nd 4\n");
    HighScoreTable table(path);
    table.insert(7, "solo");
    table.save();
    EXPECT_EQ(readFile(path), "solo   7\n");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(HighScoreTable, EmptyTableHasADefinedLowestScoreAndRefusesNaN) {
    HighScoreTable table;
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.lowestScore(), 0.0);
    EXPECT_FALSE(table.insert(std::nan(""), "nobody"));
    EXPECT_EQ(table.size(), 0u);
}

TEST(HighScoreTable, KeepsLongNamesWhole) {
    TempDir dir;
    const std::string name(10000, 'n');
    HighScoreTable table = loadFrom(dir, name + " 5\n");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.begin()->name, name);
}

} // namespace
