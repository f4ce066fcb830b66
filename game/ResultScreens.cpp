// The two result screens: the game-over name entry and the high-score list.

#include "game/Game.h"

#include "engine/MoxBitmapFont.h"
#include "engine/SpriteManager.h"

#include <cstdio>

namespace {

constexpr int HighScoresBackdrop = 21;
constexpr int GameOverBackdrop = 22;
constexpr int FirstRowY = 120;
constexpr int RowStep = 25;

} // namespace

bool Game::scoreQualifies() const {
    return highScores.size() < HighScoreTable::MaxLoadedEntries ||
           static_cast<double>(score) >= highScores.lowestScore();
}

void Game::drawNameEntry(float /*dt*/) {
    sprites->drawRotated(GameOverBackdrop, 0, 0, 800, 600, 0.0f);

    // Every text is cut to its 64-character buffer, never written past it.
    char text[64];
    std::snprintf(text, sizeof text, "Final Score: %.0f", static_cast<double>(score));
    font->print(text, 200, 200);

    if (scoreQualifies()) {
        font->print("The Great Sky Rabbit deems you worthy.  Enter your name.", 10, 235);
        std::snprintf(text, sizeof text, "%s_", playerName);
        font->print(text, 200, 270);
    }
}

void Game::drawHighScores(float /*dt*/) {
    sprites->drawRotated(HighScoresBackdrop, 0, 0, 800, 600, 0.0f);

    char text[64];
    int row = 0;
    for (const HighScoreEntry& entry : highScores) {
        if (row == HighScoreTable::ShownEntries) {
            break;
        }
        std::snprintf(text, sizeof text, "%32s   %f", entry.name.c_str(), entry.score);
        font->print(text, 50, FirstRowY + RowStep * row);
        ++row;
    }
    if (highScoreRow >= 0) {
        // Over the blank that begins a row: a typed name fills at most 31 of its 32 places.
        font->print(">", 44, FirstRowY + RowStep * highScoreRow);
    }
}
