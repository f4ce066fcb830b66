#pragma once
// A game put together from real parts: the 800x600 window, 24 solid-colour sprites
// (spriteColour(id)) and a high-score file in a temporary directory, the game's own font, and
// a sound manager without samples, so each sound played logs "Sample N is out of bounds".

#include "engine/Clock.h"
#include "engine/JumpKey.h"
#include "engine/MoxBitmapFont.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"
#include "game/Game.h"
#include "support/CapturedOutput.h"
#include "support/PngFile.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

inline const std::string MediaDir = std::string(PROJECT_SOURCE_DIR) + "/media";

// The frame `draw` makes on a freshly cleared window, bottom row first (see glwindow::frame).
inline std::vector<std::uint32_t> drawnFrame(const std::function<void()>& draw) {
    glwindow::open();
    draw();
    return glwindow::frame();
}

// A playing game with the jump key and the clock under the test's control.
class GameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        glwindow::open();
        SDL_EventState(SDL_ACTIVEEVENT, SDL_IGNORE); // other tests' windows take the focus
        writeSolidSprites(dir.path(), 24);
        CapturedOutput quiet;
        game.screenWidth = 800;
        game.screenHeight = 600;
        game.sprites = std::make_unique<SpriteManager>(dir.path().c_str());
        game.sprites->setScreenSize(800, 600);
        game.sounds = std::make_unique<SoundManager>(dir.path().c_str());
        game.font = std::make_unique<MoxBitmapFont>((MediaDir + "/font.png").c_str(),
                                                    (MediaDir + "/font.fnt").c_str());
        game.highScores = HighScoreTable(dir.file("poon.txt"));
        game.resetGame();
        spaceHeld = false;
        now = 1000;
        setJumpKeySource([] { return spaceHeld; });
        setTickSource([] { return now; });
        frameTime(); // the frame timer starts now: no stall left over from other tests
        std::srand(1);
    }
    void TearDown() override {
        setJumpKeySource(nullptr);
        setTickSource(nullptr);
    }

    // Runs `step` and returns the ids of the sounds it played, in order.
    template <typename Step> std::vector<int> soundsOf(Step step) {
        CapturedOutput output;
        step();
        std::vector<int> ids;
        std::istringstream words(output.out());
        for (std::string word; words >> word;) {
            if (int id; word == "Sample" && words >> id) {
                ids.push_back(id);
            }
        }
        return ids;
    }
    ScrollObject& addObject(float x, ScrollObjectKind kind) {
        game.objects.push_back(std::make_unique<ScrollObject>(x, kind));
        return *game.objects.back();
    }

    static inline bool spaceHeld = false;
    static inline std::uint32_t now = 0;
    TempDir dir;
    Game game;
};
