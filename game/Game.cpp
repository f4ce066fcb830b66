#include "game/Game.h"

#include "engine/MoxBitmapFont.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"

#include <cstring>

Game::Game(void* instance)
    : playerHeight(0), playerVelocity(0), playerPose(0), health(100), screen(Menu),
      instance(instance), initialised(0), groundScroll(0), currentTrack(0) {
    // init() sets these before anything reads them; zero them so nothing is indeterminate.
    screenWidth = 0;
    screenHeight = 0;
    std::memset(musicTracks, 0, sizeof musicTracks);
    menuSelection = 0;
    std::memset(playerName, 0, sizeof playerName);
    score = 0;
}

Game::~Game() = default;

void Game::resetGame() {
    menuSelection = 0;
    highScores.load();
    resetPlay();
}

void Game::resetPlay() {
    health = 100;
    playerPose = 0;
    playerHeight = 0;
    playerVelocity = 0;
    groundScroll = 0;
    score = 0;
    clearPlayState();
}

void Game::clearPlayState() {
    std::memset(playerName, 0, sizeof playerName);
    clouds.clear();
    objects.clear();
}
