#pragma once
// A Game put together from real parts for the game tests: the 800x600 window, 24 solid-
// colour sprites written into `dir` (spriteColour(id), see SpriteFiles.h) and a sound
// manager on the same directory, which holds no samples, so every sound the game plays
// logs "Sample N is out of bounds" (soundsPlayed() in SoundsPlayed.h reads them back).

#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"
#include "game/Game.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/SpriteFiles.h"
#include "support/TempDir.h"

#include <memory>

inline void assembleTestGame(Game& game, const TempDir& dir) {
    glwindow::open();
    writeSolidSprites(dir.path(), 24);
    CapturedOutput quiet;
    game.screenWidth = 800;
    game.screenHeight = 600;
    game.sprites = std::make_unique<SpriteManager>(dir.path().c_str());
    game.sprites->setScreenSize(800, 600);
    game.sounds = std::make_unique<SoundManager>(dir.path().c_str());
}
