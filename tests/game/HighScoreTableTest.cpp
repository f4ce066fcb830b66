#include "game/HighScoreTable.h"

#include "support/CapturedOutput.h"
#include "support/ScoreRows.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

HighScoreTable loadFrom(const TempDir& dir, const std::string& contents) {
    HighScoreTable table(dir.write("poon.txt", contents));
    table.load();
    return table;
}

TEST(HighScoreTable, ScoresAreUniqueTheFirstStaysAndNaNIsRefused) {
    TempDir dir;
    HighScoreTable table = loadFrom(dir, "bob   1500\namy   900\njoe   1500\n");
    EXPECT_EQ(rowsOf(table), (Rows{{1500, "bob"}, {900, "amy"}}));
    EXPECT_FALSE(table.insert(1500, "zed"));
    EXPECT_TRUE(table.insert(1200, "zed"));
    EXPECT_EQ(rowsOf(table), (Rows{{1500, "bob"}, {1200, "zed"}, {900, "amy"}}));

    HighScoreTable empty;
    EXPECT_EQ(empty.lowestScore(), 0.0);
    EXPECT_FALSE(empty.insert(std::nan(""), "nobody"));
    EXPECT_EQ(empty.size(), 0u);
}

TEST(HighScoreTable, ElevenEntriesAreSavedAndTheTenBestLoadBack) {
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
    ASSERT_EQ(reloaded.size(), 10u);
    EXPECT_EQ(reloaded.lowestScore(), -550); // p1's -650 is the eleventh line
}

TEST(HighScoreTable, ReadsAnyWhitespaceLineEndsAndNumberForms) {
    TempDir dir;
    for (const char* text : {
             "cat   2.5e+006\nbob   12.5\namy   -750\n",
             "cat 2.5e+006\r\n\r\nbob\t12.5\r\namy\r\n -750\r\n",
             "cat 2500000 bob 12.5 amy -750",
             "cat 2.5E6 bob +12.50 amy -750.",
         }) {
        EXPECT_EQ(rowsOf(loadFrom(dir, text)), (Rows{{2500000, "cat"}, {12.5, "bob"}, {-750, "amy"}}))
            << text;
    }
}

TEST(HighScoreTable, ReadingStopsAtTheFirstUnreadableEntry) {
    TempDir dir;
    const std::pair<const char*, Rows> cases[] = {
        {"", {}},
        {"\n\n  \n", {}},
        {"\x01\x02\xff\xfe binary", {}},
        {"bob 300\nmary ann 200\njoe 100\n", {{300, "bob"}}}, // a name with a blank
        {"bob 300\namy nan\njoe 100\n", {{300, "bob"}}},
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
    HighScoreTable absent(dir.file("absent.txt"));
    absent.insert(100, "kept");
    absent.load();
    EXPECT_EQ(rowsOf(absent), (Rows{{100, "kept"}})) << "a missing file changes nothing";
}

TEST(HighScoreTable, LargeScoresSurviveSaveAndLoadExactly) {
    TempDir dir;
    HighScoreTable table(dir.file("poon.txt"));
    for (double score : {2500000.0, 1234567.0, 1234568.0, -3000001.0, 999999.0}) {
        table.insert(score, "n");
    }
    table.save();
    EXPECT_EQ(readFile(dir.file("poon.txt")),
              "n   2500000\nn   1234568\nn   1234567\nn   999999\nn   -3000001\n");
    HighScoreTable reloaded(dir.file("poon.txt"));
    reloaded.load();
    EXPECT_EQ(rowsOf(reloaded), rowsOf(table));
}

TEST(HighScoreTable, SavingReplacesTheFileWholeAndAFailedSaveKeepsItAndWarns) {
    TempDir dir;
    const std::string path = dir.write("poon.txt", "a 1\nb 2\nc 3\nd 4\n");
    HighScoreTable table(path);
    table.insert(7, "solo");
    table.save();
    EXPECT_EQ(readFile(path), "solo   7\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file left behind";

    // Root ignores directory permissions: the read-only case is checked for other users.
    table.insert(8, "new");
    chmod(dir.path().c_str(), 0555);
    CapturedOutput readOnly;
    table.save();
    readOnly.stop();
    chmod(dir.path().c_str(), 0755);
    if (geteuid() != 0) {
        EXPECT_EQ(readFile(path), "solo   7\n");
        EXPECT_EQ(readOnly.err().rfind("WARN) ", 0), 0u) << readOnly.err();
        EXPECT_NE(readOnly.err().find(path), std::string::npos);
    }

    // A missing folder is made; one with a file in its way cannot be.
    HighScoreTable elsewhere(dir.write("file", "") + "/dir/poon.txt");
    elsewhere.insert(1, "x");
    CapturedOutput missingDir;
    elsewhere.save();
    EXPECT_EQ(missingDir.err().rfind("WARN) ", 0), 0u);
    EXPECT_NE(missingDir.err().find("file/dir/poon.txt: Not a directory"), std::string::npos);
    EXPECT_EQ(std::count(missingDir.err().begin(), missingDir.err().end(), '\n'), 1);
    EXPECT_EQ(table.size(), 2u);
}

} // namespace
