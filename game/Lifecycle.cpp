// Start-up and shut-down of the whole game.

#include "game/Game.h"

#include "engine/Clock.h"
#include "engine/MoxBitmapFont.h"
#include "engine/Music.h"
#include "engine/Platform.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

const char* const TrackFiles[5] = {
    "./media//sound/BGLOOP2.mid", "./media//sound/Home.mid",     "./media//sound/INDS_08.mid",
    "./media//sound/MISC_03.mid", "./media//sound/NEWA_11A.mid",
};

constexpr int LoadingSprite = 23;
constexpr int EffectsVolume = 50;

} // namespace

int Game::init(int width, int height) {
    if (initialised != 0) {
        shutdown();
    }
    initialised = 0;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    screenWidth = width;
    screenHeight = height;

    // Without a window there is nothing to play on: stop here rather than run blind.
    const WindowMode mode{startFullscreen.value_or(settings.fullscreen), settings.windowWidth,
                          settings.windowHeight};
    if (initVideo(width, height, mode) != 0) {
        std::fprintf(stderr, "FAIL) Could not open the game window: %s\n", SDL_GetError());
        return 0;
    }
    if (mode.fullscreen && !windowMode().fullscreen) {
        std::fprintf(stderr, "WARN) Could not switch to fullscreen: not supported here\n");
    }
    setupGL(screenWidth, screenHeight);
    initAudio(22050, 2);
    setCaption("Loading...");

    sprites = std::make_unique<SpriteManager>("./media/sprites");
    sprites->setScreenSize(screenWidth, screenHeight);

    clearScreen();
    sprites->draw(LoadingSprite, 0, 0, 800, 600);
    swapBuffers();
    delay(0);

    sounds = std::make_unique<SoundManager>("./media/sound");
    sounds->setVolume(EffectsVolume);
    setMuted(settings.muted);

    for (int i = 0; i < 5; ++i) {
        musicTracks[i] = openTrack(TrackFiles[i]);
        if (musicTracks[i] == 0) {
            return 0;
        }
    }
    playTrack(musicTracks[0]);
    currentTrack = 0;

    font = std::make_unique<MoxBitmapFont>("./media/font.png", "./media/font.fnt");
    resetGame();
    setCaption("Here be hoplings...");
    initialised = 1;
    return 1;
}

void Game::shutdown() {
    initialised = 0;
    clearPlayState();
    font.reset();
    sprites.reset();
    sounds.reset();
    closeAllTracks();
}
