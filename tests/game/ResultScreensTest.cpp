// The two result screens, compared pixel for pixel with the backdrop and lines they should show.
#include "TestGame.h"

#include <cstring>

namespace {

class Results : public GameTest {
  protected:
    void expectScreen(void (Game::*screen)(float), int backdrop,
                      const std::vector<std::pair<std::string, int>>& lines, int x) {
        const auto shown = drawnFrame([&] { (game.*screen)(0); });
        const auto want = drawnFrame([&] {
            game.sprites->draw(backdrop, 0, 0, 800, 600);
            for (const auto& [text, y] : lines) {
                game.font->print(text, y < 0 ? 10 : x, y < 0 ? -y : y);
            }
        });
        EXPECT_EQ(glwindow::firstDifference(shown, want), "")
            << (lines.empty() ? "" : lines.back().first);
    }
};

TEST_F(Results, TheNameEntryAsksForANameOnlyWhenTheScoreQualifies) {
    for (int i = 0; i < 10; ++i) {
        game.highScores.insert(1000 + i, "p");
    }
    std::strcpy(game.playerName, "abc");
    game.score = 1000; // equal to the lowest entry
    // A negative y stands for the request line, which starts at x 10.
    expectScreen(&Game::drawNameEntry, 22,
                 {{"Final Score: 1000", 200},
                  {"The Great Sky Rabbit deems you worthy.  Enter your name.", -235},
                  {"abc_", 270}},
                 200);
    game.score = 999.6f;
    expectScreen(&Game::drawNameEntry, 22, {{"Final Score: 1000", 200}}, 200);
}

// Rows are "%32s   %f" cut to 63 characters, 25 pixels apart from y 120; ten at most.
TEST_F(Results, TheListShowsTenRowsAtMostWithLongNamesCut) {
    expectScreen(&Game::drawHighScores, 21, {}, 50);
    const std::string longName(10000, 'i');
    game.highScores.insert(5, longName);
    for (int i = 1; i <= 11; ++i) {
        game.highScores.insert(100 * i, "p" + std::to_string(i));
    }
    std::vector<std::pair<std::string, int>> rows;
    for (int i = 11; i >= 2; --i) {
        const std::string name = "p" + std::to_string(i);
        rows.push_back({std::string(32 - name.size(), ' ') + name + "   " +
                            std::to_string(100 * i) + ".000000",
                        120 + 25 * (11 - i)});
    }
    expectScreen(&Game::drawHighScores, 21, rows, 50);
    game.highScores = HighScoreTable(dir.file("other.txt"));
    game.highScores.insert(5, longName);
    expectScreen(&Game::drawHighScores, 21, {{longName.substr(0, 63), 120}}, 50);
}

} // namespace
