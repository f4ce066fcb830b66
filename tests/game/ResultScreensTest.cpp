#include "game/Game.h"

#include "engine/MoxBitmapFont.h"
#include "engine/SpriteManager.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/SpriteFiles.h"
#include "support/TempDir.h"
#include "TestGame.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const std::string Media = std::string(PROJECT_SOURCE_DIR) + "/media";

// The result screens over solid-colour backdrops, with the game's own font: every pixel
// that is not the backdrop's colour belongs to text.
class Results : public ::testing::Test {
protected:
    void SetUp() override {
        assembleTestGame(game, spriteDir);
        CapturedOutput quiet;
        game.font = std::make_unique<MoxBitmapFont>((Media + "/font.png").c_str(),
                                                    (Media + "/font.fnt").c_str());
        ASSERT_TRUE(game.font->ready);
        game.highScores = HighScoreTable(spriteDir.file("poon.txt"));
    }

    // Text pixels in the band of rows [top, bottom), checking every other pixel.
    static int textIn(int top, int bottom, int backdrop) {
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < 800; x += 2) {
                count += !(glwindow::pixel(x, y) == spriteColour(backdrop));
            }
        }
        return count;
    }

    void fillTable(int entries) {
        for (int i = 0; i < entries; ++i) {
            game.highScores.insert(1000 + i, "p");
        }
    }

    TempDir spriteDir;
    Game game;
};

TEST_F(Results, AQualifyingScoreAsksForTheName) {
    fillTable(10);
    game.score = 1000; // equal to the lowest entry
    game.drawNameEntry(0);
    for (int top : {195, 235, 270}) { // final score, the request for a name, its cursor
        EXPECT_GT(textIn(top, top + 30, 22), 0) << top;
    }

    glwindow::open();
    game.score = 999;
    game.drawNameEntry(0);
    EXPECT_GT(textIn(195, 230, 22), 0);
    EXPECT_EQ(textIn(232, 320, 22), 0) << "a score below the ten best gets no request";
}

TEST_F(Results, TheListShowsAtMostTenRowsAndNothingForAnEmptyTable) {
    game.drawHighScores(0);
    EXPECT_EQ(textIn(0, 600, 21), 0);

    glwindow::open();
    fillTable(12);
    game.drawHighScores(0);
    EXPECT_GT(textIn(120, 140, 21), 0) << "the first row";
    EXPECT_GT(textIn(345, 365, 21), 0) << "the tenth row";
    EXPECT_EQ(textIn(370, 600, 21), 0) << "no eleventh row";
}

// Formatted texts are cut at their 64-character buffer: a name of any length from the
// score file draws as the first 63 characters of its row.
TEST_F(Results, AVeryLongNameIsCutToTheRowBuffer) {
    const std::string name(10000, 'i'); // narrow: the cut row ends well inside the window
    game.highScores.insert(5, name);
    game.drawHighScores(0);
    std::vector<Rgba> drawn;
    for (int x = 0; x < 800; ++x) {
        drawn.push_back(glwindow::pixel(x, 130));
    }

    glwindow::open();
    game.sprites->drawRotated(21, 0, 0, 800, 600, 0);
    game.font->print((name + "   5.000000").substr(0, 63), 50, 120);
    for (int x = 0; x < 800; ++x) {
        ASSERT_EQ(glwindow::pixel(x, 130), drawn[x]) << x;
    }
}

} // namespace
