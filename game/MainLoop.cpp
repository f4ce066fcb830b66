// The main loop: input, the screen state machine, drawing, presenting, and keeping the
// music going.

#include "game/Game.h"

#include "engine/Clock.h"
#include "engine/MoxBitmapFont.h"
#include "engine/Music.h"
#include "engine/Platform.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"
#include "game/Truncate.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int MenuMoveSound = 5;
constexpr int SelectSound = 6;

constexpr int MenuBackdrop = 18;
constexpr int MenuCursor = 19;
constexpr int InfoPicture = 20;

constexpr int MenuItems = 4;
// The menu's rows: the cursor of item i stands at FirstRowTop + i * RowStep, beside its sign.
constexpr int FirstRowTop = 177;
constexpr int RowStep = 56;
// Where the signs of the menu picture stand across the screen.
constexpr int SignLeft = 64;
constexpr int SignRight = 330;
constexpr std::uint32_t MusicCheckInterval = 5000; // ms
// Where vsync is not granted the loop sleeps out the rest of this: at most about 250 frames
// a second, without a core spinning.
constexpr std::uint32_t ShortestFrame = 4; // ms

constexpr std::size_t MaxNameLength = sizeof(Game::playerName) - 1;

bool isNameKey(int key) {
    return (key >= SDLK_a && key <= SDLK_z) || (key >= SDLK_0 && key <= SDLK_9);
}

bool isFullscreenKey(const SDL_keysym& key) {
    return key.sym == SDLK_F11 || (key.sym == SDLK_RETURN && (key.mod & KMOD_ALT) != 0);
}

// A press that starts a flight, as opposed to the held state the play frame reads.
bool isFreshFlyPress(const SDL_Event& event) {
    return (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_SPACE) ||
           (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) ||
           event.type == SDL_JOYBUTTONDOWN;
}

// What an event of a game in progress does to its pause; false when it is not the pause's.
// Focus coming back resumes nothing: the player may not be ready.
bool changePause(const SDL_Event& event, bool& paused) {
    if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_p) {
        paused = !paused;
    } else if (event.type == SDL_ACTIVEEVENT && event.active.gain == 0 &&
               (event.active.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) != 0) {
        paused = true;
    } else if (paused && isFreshFlyPress(event)) {
        paused = false;
    } else {
        return false;
    }
    return true;
}

} // namespace

void Game::run() {
    if (initialised == 0) {
        return;
    }
    LoopState loop;
    runMainLoop([&] {
        runFrame(loop);
        if (loop.quit && !programCanEnd()) {
            // A page cannot close itself: quitting shows the title menu again, and a game or
            // a name entry in progress is dropped as when the program ends.
            loop.quit = loop.paused = false;
            screen = Menu;
            clearPlayState();
        }
        return !loop.quit;
    });
}

void Game::runFrame(LoopState& loop) {
    const std::uint32_t frameStart = realTicks();
    clearScreen();

    SDL_Event event;
    while (pollEvent(event)) {
        if (event.type == SDL_QUIT) {
            loop.quit = true;
        } else if (event.type == SDL_KEYDOWN && isFullscreenKey(event.key.keysym)) {
            if (toggleFullscreen() != 0 && !loop.fullscreenWarned) {
                std::fprintf(stderr, "WARN) Could not switch to fullscreen: not supported here\n");
                loop.fullscreenWarned = true;
            }
        } else if (screen == Playing && changePause(event, loop.paused)) {
            // Taken by the pause; P and the fly button do nothing else while Playing.
        } else if (event.type == SDL_KEYDOWN) {
            handleKey(event.key.keysym.sym, loop.quit);
        } else if (int x = 0, y = 0; readTap(event, x, y)) {
            handleTap(x, y, loop.quit);
        }
    }

    switch (screen) {
    case Menu:
        sprites->drawRotated(MenuBackdrop, 0, 0, 800, 600, 0.0f);
        sprites->drawRotated(MenuCursor, 7, menuSelection * RowStep + FirstRowTop, 64, 64, 0.0f);
        break;
    case InfoPage:
        sprites->drawRotated(InfoPicture, 0, 0, 800, 600, 0.0f);
        break;
    case Playing:
        if (loop.paused) {
            drawPlayScene();
        } else {
            updatePlaying(loop.frameTime);
        }
        break;
    case NameEntry:
        drawNameEntry(loop.frameTime);
        break;
    case HighScores:
        drawHighScores(loop.frameTime);
        break;
    }

    // Read again: the update above may just have ended the game.
    if (screen == Playing) {
        std::snprintf(loop.text, sizeof loop.text, " Prawnage: %i", truncateToInt(score));
        font->print(loop.text, 0, 0);
        std::snprintf(loop.text, sizeof loop.text, " Health: %i", health);
        font->print(loop.text, 0, 45);
        if (loop.paused) {
            font->print(" Paused", 0, 90);
        }
    }

    requestTextEntry(screen == NameEntry);
    swapBuffers();
    const std::uint32_t spent = realTicks() - frameStart;
    delay(spent < ShortestFrame ? ShortestFrame - spent : 0);
    checkMusic(loop);
    // The timer goes on measuring while paused, so the pause's length is dropped here; the
    // first update after it gets the time of the last frame played.
    const float measured = frameTime();
    if (!loop.paused) {
        loop.frameTime = measured;
    }
}

void Game::handleKey(int key, bool& quit) {
    if (key == SDLK_ESCAPE) {
        quit = true;
    }

    if (screen == InfoPage && key == SDLK_RETURN) {
        sounds->play(SelectSound);
        screen = Menu;
        return;
    }

    if (screen == NameEntry) {
        const std::size_t length = std::strlen(playerName);
        if (key == SDLK_RETURN) {
            sounds->play(SelectSound);
            if (scoreQualifies()) {
                highScores.insert(static_cast<double>(score),
                                  length == 0 ? "anonymous" : playerName);
            }
            highScores.save();
            screen = Menu;
        } else if (key == SDLK_BACKSPACE) {
            if (length > 0) {
                playerName[length - 1] = '\0';
            }
        } else if (length < MaxNameLength && isNameKey(key)) {
            playerName[length] = static_cast<char>(key);
        }
        return;
    }

    if (screen == HighScores && key == SDLK_RETURN) {
        sounds->play(SelectSound);
        highScores.save();
        screen = Menu;
        return;
    }

    if (screen == Menu) {
        if (key == SDLK_DOWN) {
            sounds->play(MenuMoveSound);
            ++menuSelection;
        } else if (key == SDLK_UP) {
            sounds->play(MenuMoveSound);
            --menuSelection;
        }
        if (menuSelection == -1) {
            menuSelection = MenuItems - 1;
        } else if (menuSelection == MenuItems) {
            menuSelection = 0;
        }

        if (key == SDLK_RETURN) {
            sounds->play(SelectSound);
            switch (menuSelection) {
            case 0:
                resetGame();
                screen = Playing;
                break;
            case 1:
                screen = InfoPage;
                break;
            case 2:
                highScores.load();
                screen = HighScores;
                break;
            case 3:
                quit = true;
                break;
            }
        }
    }
}

void Game::handleTap(int x, int y, bool& quit) {
    if (screen == Menu && x >= SignLeft && x < SignRight && y >= FirstRowTop &&
        y < FirstRowTop + MenuItems * RowStep) {
        menuSelection = (y - FirstRowTop) / RowStep;
        handleKey(SDLK_RETURN, quit);
    } else if (screen == InfoPage || screen == HighScores) {
        handleKey(SDLK_RETURN, quit);
    }
}

void Game::checkMusic(LoopState& loop) {
    if (ticks() - loop.lastMusicCheck < MusicCheckInterval) {
        return;
    }
    if (!trackIsPlaying(musicTracks[currentTrack])) {
        // A paused game draws no random number, so it goes on as if never paused.
        if (screen != Menu && !loop.paused) {
            currentTrack = std::rand() % 4 + 1;
        }
        playTrack(musicTracks[currentTrack]);
    }
    loop.lastMusicCheck = ticks();
}
