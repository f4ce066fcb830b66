// The main loop: input, the screen state machine, drawing, presenting, and keeping the
// music going.

#include "game/Game.h"

#include "engine/Clock.h"
#include "engine/MoxBitmapFont.h"
#include "engine/Music.h"
#include "engine/Platform.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"
#include "game/KeptRuns.h"
#include "game/Truncate.h"

#include <SDL.h>
#include <algorithm>
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
// A paused or unwatched game is drawn about ten times a second, or at once for an event.
constexpr std::uint32_t IdleFrame = 100; // ms
// A frame longer than this was a stopped process, a suspended laptop or a debugger, not
// play: its time is never handed to the update.
constexpr float StallSeconds = 0.5f;

constexpr std::size_t MaxNameLength = sizeof(Game::playerName) - 1;
constexpr std::uint32_t DemoAfterIdle = 20000; // ms on the menu without input

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

// A key, a click (a tap) or a button: what ends a watched game and keeps the demo away.
bool isPlayerInput(const SDL_Event& event) {
    return event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN ||
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
    const bool wasPlaying = screen == Playing;

    SDL_Event event;
    SDL_ResizeEvent resized{};
    bool input = false;
    bool news = false; // an event that may change or uncover the picture
    while (pollEvent(event)) {
        input = input || isPlayerInput(event);
        news = news || event.type != SDL_MOUSEMOTION;
        if (event.type == SDL_QUIT) {
            loop.quit = true;
        } else if (event.type == SDL_KEYDOWN && isFullscreenKey(event.key.keysym)) {
            if (toggleFullscreen() == 0) {
                settings.fullscreen = windowMode().fullscreen;
                settings.save();
            } else if (!loop.fullscreenWarned) {
                std::fprintf(stderr, "WARN) Could not switch to fullscreen: not supported here\n");
                loop.fullscreenWarned = true;
            }
        } else if (event.type == SDL_VIDEORESIZE) {
            resized = event.resize; // a drag sends many: the window takes the last
        } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_m &&
                   screen != NameEntry) {
            settings.muted = !settings.muted;
            setMuted(settings.muted);
            settings.save();
        } else if (watching.active) {
            if (isPlayerInput(event)) {
                stopWatching(loop);
            }
        } else if (screen == Playing && changePause(event, loop.paused)) {
            // Taken by the pause; P and the fly button do nothing else while Playing.
        } else if (event.type == SDL_KEYDOWN) {
            handleKey(event.key.keysym.sym, loop.quit);
        } else if (int x = 0, y = 0; readTap(event, x, y)) {
            handleTap(x, y, loop.quit);
        }
    }
    const WindowMode window = windowMode();
    if (resized.w != 0 && (resized.w != window.width || resized.h != window.height) &&
        resizeWindow(resized.w, resized.h) == 0) {
        settings.windowWidth = windowMode().width;
        settings.windowHeight = windowMode().height;
        settings.save();
    }
    if (screen != Menu || input) {
        loop.idleSince = ticks();
    } else if (ticks() - loop.idleSince >= DemoAfterIdle) {
        loop.idleSince = ticks();
        std::string problem;
        if (!startDemo(problem) && !loop.demoWarned) {
            std::fprintf(stderr, "WARN) No demo to show: %s\n", problem.c_str());
            loop.demoWarned = true;
        }
    }
    if (watching.active) {
        advanceWatching(loop);
    }

    // A paused game's picture stands still: once it is on screen, a frame without news draws
    // nothing, and the window keeps showing it.
    const bool stillPicture = screen == Playing && loop.paused && !watching.active;
    if (stillPicture && loop.stillPictureShown && !news) {
        tape.recordPause(ticks());
    } else {
        showFrame(loop);
    }
    loop.stillPictureShown = stillPicture;
    const std::uint32_t spent = realTicks() - frameStart;
    const bool idle = screen == Playing && !watching.active ? loop.paused : !windowIsWatched();
    if (idle) {
        waitForEvent(spent < IdleFrame ? IdleFrame - spent : 0);
    } else {
        delay(spent < ShortestFrame ? ShortestFrame - spent : 0);
    }
    checkMusic(loop);
    // The timer goes on measuring while paused, so the pause's length is dropped here; the
    // first update after it gets the time of the last frame played.
    const float measured = frameTime();
    if (measured > StallSeconds) {
        // A stall pauses a game in progress; elsewhere its time is simply not counted, also
        // in the frame that starts a game (a slow save of the menu's is not the game's).
        if (wasPlaying && screen == Playing) {
            loop.paused = true;
        }
    } else if (!loop.paused) {
        loop.frameTime = measured;
    }
}

// Updates and draws the screen, then presents it.
void Game::showFrame(LoopState& loop) {
    clearScreen();
    switch (screen) {
    case Menu:
        sprites->drawRotated(MenuBackdrop, 0, 0, 800, 600, 0.0f);
        sprites->drawRotated(MenuCursor, 7, menuSelection * RowStep + FirstRowTop, 64, 64, 0.0f);
        break;
    case InfoPage:
        sprites->drawRotated(InfoPicture, 0, 0, 800, 600, 0.0f);
        break;
    case Playing:
        if (watching.active) {
            drawPlayScene();
        } else if (loop.paused) {
            tape.recordPause(ticks());
            drawPlayScene();
        } else {
            tape.recordFrame(loop.frameTime);
            updatePlaying(loop.frameTime);
            if (screen == NameEntry) {
                tape.finish(score);
            }
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
        if (loop.paused || (watching.active && watching.showsPause)) {
            font->print(" Paused", 0, 90);
        }
        if (watching.active && watching.demo) {
            font->print("Demo", 720, 0);
        }
        if (settings.muted) {
            font->printRight("Muted ", 800, 45);
        }
    }

    requestTextEntry(screen == NameEntry);
    swapBuffers();
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
            const bool inserted =
                scoreQualifies() && highScores.insert(static_cast<double>(score),
                                                      length == 0 ? "anonymous" : playerName);
            saveScores(inserted);
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

    if (screen == HighScores) {
        const int rows =
            std::min(static_cast<int>(highScores.size()), HighScoreTable::ShownEntries);
        const int row = key == SDLK_DOWN ? std::min(highScoreRow + 1, rows - 1)
                        : key == SDLK_UP ? std::max(highScoreRow - 1, -1)
                                         : highScoreRow;
        if (row != highScoreRow) {
            sounds->play(MenuMoveSound);
            highScoreRow = row;
        } else if (key == SDLK_RETURN) {
            sounds->play(SelectSound);
            if (!watchChosenRow()) {
                saveScores(false);
                screen = Menu;
            }
        }
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
                tape.record();
                screen = Playing;
                break;
            case 1:
                screen = InfoPage;
                break;
            case 2:
                highScores.load();
                highScoreRow = -1;
                screen = HighScores;
                break;
            case 3:
                quit = true;
                break;
            }
        }
    }
}

void Game::saveScores(bool inserted) {
    if (!highScores.save()) {
        return;
    }
    if (inserted && tape.finished()) {
        keepRun(highScores.path(), tape.recording());
    }
    dropRunsOutside(highScores);
    persistFiles(); // the table and the runs, where storage needs telling (a browser's)
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
        // A paused game draws no random number, so it goes on as if never paused. This draw
        // is not the game's own (see Tape): a watched game plays the music of the screen it
        // returns to.
        const Screen rules = watching.active ? watching.returnTo : screen;
        if (rules != Menu && !loop.paused) {
            currentTrack = std::rand() % 4 + 1;
        }
        playTrack(musicTracks[currentTrack]);
    }
    loop.lastMusicCheck = ticks();
}
