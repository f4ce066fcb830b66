#include "game/Game.h"

#include "engine/Clock.h"
#include "engine/JumpKey.h"
#include "engine/MoxBitmapFont.h"
#include "engine/Music.h"
#include "engine/Platform.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/SoundsPlayed.h"
#include "TestGame.h"
#include "support/SpriteFiles.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

std::uint32_t fakeNow = 0;
std::uint32_t fakeClock() {
    return fakeNow;
}
bool spaceUp() {
    return false;
}

const std::string MediaDir = std::string(PROJECT_SOURCE_DIR) + "/media";

// A running game put together from real parts: solid-colour sprites, the game's own font,
// the high-score file in a temporary directory, and a sound manager without samples, so
// every sound played shows up as a "Sample N is out of bounds" line.
class Loop : public ::testing::Test {
protected:
    void SetUp() override {
        assembleTestGame(game, spriteDir);
        initAudio(22050, 2);
        CapturedOutput quiet;
        game.font = std::make_unique<MoxBitmapFont>((MediaDir + "/font.png").c_str(),
                                                    (MediaDir + "/font.fnt").c_str());
        game.highScores = HighScoreTable(scoreFile);
        game.resetGame();
        game.initialised = 1;
        setJumpKeySource(spaceUp);
        setTickSource(fakeClock);
        fakeNow = 1000;
        // Drop whatever the window system queued while the window opened.
        SDL_Event ignored;
        while (SDL_PollEvent(&ignored)) {
        }
    }
    void TearDown() override {
        setJumpKeySource(nullptr);
        setTickSource(nullptr);
        closeAllTracks();
    }

    static void press(SDLKey key, SDLMod mod = KMOD_NONE) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = key;
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
    }

    // Runs one frame and returns the sounds it played, in order.
    std::vector<int> frame() {
        CapturedOutput output;
        game.runFrame(loop);
        return soundsPlayed(output.out());
    }

    std::vector<int> pressAndRun(SDLKey key) {
        press(key);
        return frame();
    }

    void openAllTracks() {
        const char* names[] = {"BGLOOP2", "Home", "INDS_08", "MISC_03", "NEWA_11A"};
        for (int i = 0; i < 5; ++i) {
            game.musicTracks[i] = openTrack((MediaDir + "//sound/" + names[i] + ".mid").c_str());
            ASSERT_NE(game.musicTracks[i], 0u);
        }
    }

    TempDir spriteDir;
    TempDir scoreDir;
    const std::string scoreFile = scoreDir.file("poon.txt");
    Game game;
    Game::LoopState loop;
};

const std::vector<int> Select{6};
const std::vector<int> Move{5};

TEST_F(Loop, TheMenuWrapsBothWaysAndTheCursorFollows) {
    // The cursor (sprite 19) stands beside item i at 177 + 56 i, and nowhere else.
    for (auto [key, item] : {std::pair{SDLK_UP, 3}, {SDLK_DOWN, 0}, {SDLK_DOWN, 1}}) {
        EXPECT_EQ(pressAndRun(key), Move);
        EXPECT_EQ(game.menuSelection, item);
        EXPECT_EQ(glwindow::pixel(10, 179 + 56 * item), spriteColour(19)) << item;
        EXPECT_FALSE(glwindow::pixel(10, 179 + 56 * ((item + 2) % 4)) == spriteColour(19)) << item;
    }
    EXPECT_TRUE(pressAndRun(SDLK_a).empty());
    EXPECT_EQ(game.screen, Menu);
}

TEST_F(Loop, EnterOnEachMenuItem) {
    scoreDir.write("poon.txt", "bob 300\n");
    game.menuSelection = 2;
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    EXPECT_EQ(game.screen, HighScores);
    EXPECT_EQ(game.highScores.size(), 1u) << "the list is reloaded from its file";
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    EXPECT_EQ(game.screen, Menu);
    EXPECT_EQ(game.menuSelection, 2) << "back on the same item, which did not start";
    EXPECT_EQ(readFile(scoreFile), "bob   300\n") << "leaving the list saves it";

    game.menuSelection = 1;
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    EXPECT_EQ(game.screen, InfoPage);
    EXPECT_EQ(glwindow::pixel(400, 300), spriteColour(20));
    EXPECT_TRUE(pressAndRun(SDLK_DOWN).empty()) << "arrows do nothing on the info page";
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    EXPECT_EQ(game.screen, Menu);
    EXPECT_EQ(game.menuSelection, 1);

    game.menuSelection = 0;
    game.score = 55;
    game.health = 3;
    game.playerName[0] = 'q';
    game.objects.push_back(std::make_unique<ScrollObject>(10.0f, Penalty));
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    EXPECT_EQ(game.screen, Playing);
    EXPECT_EQ(std::tuple(game.score, game.health, game.playerName[0], game.objects.size()),
              std::tuple(0.0f, 100, '\0', 0u));
    EXPECT_FALSE(loop.quit);

    game.screen = Menu;
    game.menuSelection = 3;
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    EXPECT_TRUE(loop.quit);
}

TEST_F(Loop, TypingANameTakesLowerCaseLettersAndDigitsOnly) {
    game.screen = NameEntry;
    for (SDLKey key : {SDLK_a, SDLK_b, SDLK_c, SDLK_1, SDLK_2, SDLK_3}) {
        press(key);
    }
    press(SDLK_LSHIFT);
    press(SDLK_d, KMOD_LSHIFT);
    for (SDLKey refused : {SDLK_SPACE, SDLK_COMMA, SDLK_PERIOD, SDLK_KP1, SDLK_KP_ENTER, SDLK_UP}) {
        press(refused);
    }
    EXPECT_TRUE(frame().empty());
    EXPECT_STREQ(game.playerName, "abc123d");

    for (int i = 0; i < 30; ++i) {
        press(SDLK_z);
    }
    frame();
    EXPECT_EQ(std::string(game.playerName), "abc123d" + std::string(24, 'z'))
        << "31 characters at most";

    for (int i = 0; i < 40; ++i) {
        press(SDLK_BACKSPACE);
    }
    frame();
    EXPECT_EQ(std::string(game.playerName, sizeof game.playerName), std::string(32, '\0'));

    game.score = -750;
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    EXPECT_EQ(game.screen, Menu);
    EXPECT_EQ(readFile(scoreFile), "anonymous   -750\n") << "an empty name; negative scores qualify";
}

TEST_F(Loop, WithTenEntriesALowerScoreIsNotInsertedButTheTableIsSaved) {
    for (int i = 1; i <= 10; ++i) {
        game.highScores.insert(i * 100, "p" + std::to_string(i));
    }
    game.screen = NameEntry;
    game.score = 99;
    press(SDLK_x);
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    const std::string saved = readFile(scoreFile);
    EXPECT_EQ(saved.find("x "), std::string::npos);
    EXPECT_EQ(saved.substr(0, 11), "p10   1000\n") << "rewritten highest first";

    game.screen = NameEntry;
    game.score = 100; // equal to the lowest: qualifies, but that score is taken
    EXPECT_TRUE(game.scoreQualifies());
    game.score = 150;
    press(SDLK_y);
    pressAndRun(SDLK_RETURN);
    EXPECT_NE(readFile(scoreFile).find("y   150\n"), std::string::npos);
    EXPECT_EQ(game.highScores.size(), 11u);
}

TEST_F(Loop, EscapeQuitsFromAnyScreenWithoutSaving) {
    scoreDir.write("poon.txt", "bob 300\n");
    game.highScores.load();
    game.screen = NameEntry;
    game.score = 5000;
    press(SDLK_k);
    press(SDLK_ESCAPE);
    frame();
    EXPECT_TRUE(loop.quit);
    EXPECT_EQ(readFile(scoreFile), "bob 300\n");
    EXPECT_EQ(game.highScores.size(), 1u);
    EXPECT_STREQ(game.playerName, "k") << "the rest of the frame still ran";

    Game::LoopState fresh;
    game.screen = Playing;
    SDL_Event quit{SDL_QUIT};
    SDL_PushEvent(&quit);
    game.runFrame(fresh);
    EXPECT_TRUE(fresh.quit);
}

// The status lines of one playing frame: pixels of the top-left corner, every other one.
// Drawn from the score truncated towards zero: 99.9 and 99 match, 100 does not.
TEST_F(Loop, TheScoreLineShowsTheScoreTruncatedAndTheLastFrameShowsNone) {
    ASSERT_TRUE(game.font->ready);
    auto statusPixels = [&](float score) {
        game.screen = Playing;
        game.score = score;
        game.clearPlayState();
        std::srand(1);
        loop.frameTime = 0;
        frame();
        std::vector<unsigned> pixels;
        for (int y = 0; y < 90; y += 2) {
            for (int x = 0; x < 300; x += 2) {
                const Rgba p = glwindow::pixel(x, y);
                pixels.push_back(p.r << 16 | p.g << 8 | p.b);
            }
        }
        return pixels;
    };
    EXPECT_EQ(statusPixels(99.9f), statusPixels(99.0f));
    EXPECT_NE(statusPixels(99.0f), statusPixels(100.0f));
    EXPECT_EQ(statusPixels(-750.9f), statusPixels(-750.0f));
    EXPECT_NE(statusPixels(-750.0f), statusPixels(-751.0f));

    const std::vector<unsigned> backdrop(150 * 45, spriteColour(0).r << 16 | spriteColour(0).g << 8 | spriteColour(0).b);
    EXPECT_NE(statusPixels(5), backdrop);
    game.health = 0;
    EXPECT_EQ(statusPixels(5), backdrop) << "the frame that ends the game";
    EXPECT_EQ(game.screen, NameEntry);
}

TEST_F(Loop, TheFirstFrameGetsNoTimeAndEachLaterOneTheTimeOfTheLast) {
    game.screen = Playing;
    game.playerHeight = -100;
    game.playerVelocity = 100;
    frameTime(); // the timer's reference point: now
    frame();
    EXPECT_EQ(game.playerHeight, -100.0f) << "a frame time of 0 moves nothing";
    fakeNow += 16;
    frame(); // uses the 0 measured at the end of the first frame
    EXPECT_EQ(game.playerHeight, -100.0f);
    EXPECT_FLOAT_EQ(loop.frameTime, 0.016f);
    frame();
    EXPECT_LT(game.playerHeight, -100.0f + 100 * 0.016f + 1e-3f);
    EXPECT_GT(game.playerHeight, -100.0f);
}

TEST_F(Loop, MusicIsCheckedEveryFiveSecondsAndRestartedWhereItStopped) {
    openAllTracks();
    fakeNow = 4999;
    frame();
    EXPECT_FALSE(trackIsPlaying(game.musicTracks[0])) << "not before 5000 ms";
    EXPECT_EQ(loop.lastMusicCheck, 0u);

    fakeNow = 5000;
    frame();
    EXPECT_EQ(game.currentTrack, 0) << "on the menu the stopped track is sent again";
    EXPECT_TRUE(trackIsPlaying(game.musicTracks[0]));
    EXPECT_EQ(loop.lastMusicCheck, 5000u);

    fakeNow = 9999;
    game.screen = HighScores;
    frame();
    EXPECT_EQ(loop.lastMusicCheck, 5000u);
}

TEST_F(Loop, OffTheMenuAStoppedTrackIsFollowedByARandomOneOfTheGameTracks) {
    openAllTracks();
    game.screen = HighScores;
    int chosen[5] = {};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        closeAllTracks();
        openAllTracks();
        std::srand(seed);
        const int expected = std::rand() % 4 + 1;
        std::srand(seed);
        game.currentTrack = 0;
        fakeNow += 5000;
        frame();
        ASSERT_EQ(game.currentTrack, expected);
        EXPECT_TRUE(trackIsPlaying(game.musicTracks[expected]));
        ++chosen[game.currentTrack];
    }
    EXPECT_EQ(chosen[0], 0) << "the title track is never chosen at random";
    for (int track = 1; track <= 4; ++track) {
        EXPECT_GT(chosen[track], 0) << track;
    }
}

} // namespace
