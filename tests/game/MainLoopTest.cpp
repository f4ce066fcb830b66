// The main loop: keys on each screen, the status lines, the frame time and the music check.
#include "TestGame.h"

#include "engine/Music.h"
#include "engine/Platform.h"
#include "game/KeptRuns.h"
#include "game/ReplayCheck.h"

#include <SDL.h>
#include <filesystem>
#include <tuple>

namespace {

class Loop : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        initAudio(22050, 2);
        game.initialised = 1;
        SDL_Event ignored; // drop whatever the window system queued while the window opened
        while (SDL_PollEvent(&ignored)) {
        }
    }
    void TearDown() override {
        closeAllTracks();
        GameTest::TearDown();
    }

    static void press(SDLKey key, int times = 1, SDLMod mod = KMOD_NONE) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = key;
        event.key.keysym.mod = mod;
        while (times-- > 0) {
            SDL_PushEvent(&event);
        }
    }
    std::vector<int> frame() {
        return soundsOf([&] { game.runFrame(loop); });
    }
    std::vector<int> pressAndRun(SDLKey key, int times = 1) { return press(key, times), frame(); }
    Game::LoopState loop;
};

const std::vector<int> Select{6}, Move{5};

TEST_F(Loop, TheMenuWrapsAndTheCursorFollowsAndEnterOpensEachItem) {
    // The cursor (sprite 19) stands beside item i at 177 + 56 i, and nowhere else.
    for (auto [key, item] : {std::pair{SDLK_UP, 3}, {SDLK_DOWN, 0}, {SDLK_DOWN, 1}}) {
        EXPECT_EQ(pressAndRun(key), Move);
        EXPECT_EQ(game.menuSelection, item);
        EXPECT_EQ(glwindow::pixel(10, 179 + 56 * item), spriteColour(19)) << item;
        EXPECT_EQ(glwindow::pixel(10, 179 + 56 * ((item + 2) % 4)), spriteColour(18)) << item;
    }
    EXPECT_TRUE(pressAndRun(SDLK_a).empty());
    EXPECT_EQ(game.screen, Menu);

    dir.write("poon.txt", "bob 300\n");
    for (auto [item, screen, backdrop] : {std::tuple{2, HighScores, 21}, {1, InfoPage, 20}}) {
        game.menuSelection = item;
        EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
        EXPECT_EQ(std::tuple(game.screen, glwindow::pixel(400, 300)),
                  std::tuple(screen, spriteColour(backdrop)));
        EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
        EXPECT_EQ(std::tuple(game.screen, game.menuSelection), std::tuple(Menu, item))
            << "back on the same item";
    }
    EXPECT_EQ(game.highScores.size(), 1u) << "the list is reloaded from its file";
    EXPECT_EQ(readFile(dir.file("poon.txt")), "bob   300\n") << "leaving the list saves it";
    game.menuSelection = 0;
    game.score = 55;
    game.health = 3;
    game.playerHeight = -40;
    game.playerName[0] = 'q';
    addObject(10, Penalty);
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    EXPECT_EQ(std::tuple(game.screen, game.score, game.health, game.playerHeight,
                         game.playerName[0], game.objects.size()),
              std::tuple(Playing, 0.0f, 100, 0.0f, '\0', 0u));
    game.screen = Menu;
    game.menuSelection = 3;
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    EXPECT_TRUE(loop.quit);
}

// Sign rows: 177 + 56 i to 232 + 56 i, from x 64 to 329.
TEST_F(Loop, ATapOnASignIsEnterOnItsItemAndATapLeavesTheInformationPageAndTheList) {
    const auto tap = [&](int x, int y) {
        SDL_Event event = tapEvent(x, y);
        SDL_PushEvent(&event);
        return frame();
    };
    for (auto [x, y] : {std::pair{63, 250}, {330, 250}, {100, 176}, {100, 401}}) {
        EXPECT_TRUE(tap(x, y).empty()) << "beside the signs: " << x << ", " << y;
    }
    for (auto [y, item, screen] : {std::tuple{289, 2, HighScores}, {288, 1, InfoPage}}) {
        EXPECT_EQ(tap(64, y), Select);
        EXPECT_EQ(std::tuple(game.screen, game.menuSelection), std::tuple(screen, item));
        EXPECT_EQ(tap(700, 500), Select);
        EXPECT_EQ(game.screen, Menu);
    }
    EXPECT_EQ(tap(329, 400), Select);
    EXPECT_TRUE(loop.quit) << "the last sign is Quit";
    game.screen = Playing;
    EXPECT_TRUE(tap(64, 200).empty());
    EXPECT_EQ(game.screen, Playing);
}

// Enter inserts a score that qualifies (any with fewer than ten entries, else one at least the
// lowest) and saves either way; Escape quits without saving.
TEST_F(Loop, TheNameEntryTakesLettersAndDigitsAndSavesTheTable) {
    game.screen = NameEntry;
    for (SDLKey key :
         {SDLK_a, SDLK_b, SDLK_1, SDLK_m, SDLK_LSHIFT, SDLK_SPACE, SDLK_COMMA, SDLK_KP1, SDLK_UP}) {
        press(key);
    }
    press(SDLK_d, 1, KMOD_LSHIFT);
    EXPECT_TRUE(frame().empty());
    EXPECT_STREQ(game.playerName, "ab1md") << "M is a letter here, not the mute";
    pressAndRun(SDLK_z, 30);
    EXPECT_EQ(std::string(game.playerName), "ab1md" + std::string(26, 'z')) << "31 at most";
    pressAndRun(SDLK_BACKSPACE, 40);
    EXPECT_EQ(std::string(game.playerName, sizeof game.playerName), std::string(32, '\0'));
    game.score = -750;
    EXPECT_EQ(pressAndRun(SDLK_RETURN), Select);
    EXPECT_EQ(game.screen, Menu);
    EXPECT_EQ(readFile(dir.file("poon.txt")), "anonymous   -750\n") << "an empty name";

    for (int i = 1; i < 10; ++i) {
        game.highScores.insert(i * 100, "p");
    }
    game.score = -750;
    EXPECT_TRUE(game.scoreQualifies()) << "equal to the lowest of ten";
    for (auto [score, name, key, listed] : {std::tuple{-751.0f, SDLK_x, SDLK_RETURN, false},
                                            {150.0f, SDLK_w, SDLK_RETURN, true},
                                            {5000.0f, SDLK_k, SDLK_ESCAPE, false}}) {
        game.clearPlayState();
        game.screen = NameEntry;
        game.score = score;
        press(name);
        pressAndRun(key);
        const auto at = readFile(dir.file("poon.txt")).find(char(name) + std::string("   "));
        EXPECT_EQ(at != std::string::npos, listed) << score;
    }
    EXPECT_TRUE(loop.quit);
    EXPECT_EQ(game.highScores.size(), 11u) << "nothing inserted on Escape";
    EXPECT_STREQ(game.playerName, "k") << "the rest of the frame still ran";
}

// Over the backdrop, the status lines sit at (0, 0) and (0, 45), the score truncated towards zero.
TEST_F(Loop, TheStatusLinesSitTopLeftAndShowTheScoreTruncated) {
    auto statusBand = [](std::vector<std::uint32_t> pixels) { // the top 300 rows
        return std::vector<std::uint32_t>(pixels.end() - 800 * 300, pixels.end());
    };
    const std::tuple<float, int, const char*, const char*> cases[] = {
        {99.9f, 100, " Prawnage: 99", " Health: 100"},
        {-750.9f, 3, " Prawnage: -750", " Health: 3"},
        {1e12f, 100, " Prawnage: 2147483647", " Health: 100"},
        {-1e12f, 100, " Prawnage: -2147483648", " Health: 100"},
        {5.0f, 0, "", ""}};
    for (const auto& [score, health, prawnage, healthLine] : cases) {
        game.screen = Playing;
        game.clearPlayState();
        game.score = score;
        game.health = health;
        loop.frameTime = 0;
        frame();
        const auto shown = statusBand(glwindow::frame());
        const auto want = statusBand(drawnFrame([&] {
            game.sprites->draw(0, 0, 0, 800, 600);
            game.font->print(prawnage, 0, 0);
            game.font->print(healthLine, 0, 45);
        }));
        EXPECT_EQ(glwindow::firstDifference(shown, want), "") << score << " " << health;
    }
    EXPECT_EQ(game.screen, NameEntry) << "the frame that ends the game shows no status";
}

// A new GL context (SDL's video restarted under the game) brings back the 2D state and every
// picture: the name entry draws sprites and text.
TEST_F(Loop, EveryPictureComesBackInANewGlContext) {
    const auto before = drawnFrame([&] { game.drawNameEntry(0); });
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    ASSERT_EQ(resizeWindow(800, 600), 0) << SDL_GetError();
    EXPECT_EQ(glwindow::firstDifference(drawnFrame([&] { game.drawNameEntry(0); }), before), "");
}

TEST_F(Loop, TheFirstFrameGetsNoTimeAndEachLaterOneTheTimeOfTheLast) {
    game.screen = Playing;
    game.playerHeight = -100;
    game.playerVelocity = 100;
    SDL_Event ignored;
    frame();
    EXPECT_EQ(game.playerHeight, -100.0f) << "a frame time of 0 moves nothing";
    now += 16;
    frame(); // uses the 0 measured at the end of the first frame
    EXPECT_EQ(game.playerHeight, -100.0f);
    EXPECT_FLOAT_EQ(loop.frameTime, 0.016f);
    frame();
    EXPECT_NEAR(game.playerHeight, -100.0f + 100 * 0.016f, 1e-3f);
    // Half a second is a slow frame, played; anything longer is a stall, which pauses.
    for (auto [ms, paused] : {std::pair{500u, false}, {501u, true}}) {
        now += ms;
        frame();
        EXPECT_EQ(std::pair(loop.paused, loop.frameTime), std::pair(paused, 0.5f)) << ms;
    }
    const float height = game.playerHeight;
    now += 16;
    frame();
    EXPECT_EQ(game.playerHeight, height) << "the stall never reaches the update";
    // The paused picture, once shown, stands until an event comes: nothing is drawn meanwhile.
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    for (const bool exposed : {false, true}) {
        SDL_Event event{};
        event.type = SDL_VIDEOEXPOSE;
        while (SDL_PollEvent(&ignored)) {
        }
        if (exposed) {
            SDL_PushEvent(&event);
        }
        frame();
        EXPECT_EQ(glwindow::rgbAt(400, 300) == "ff00ff", !exposed) << exposed;
    }
    std::tie(game.screen, loop.paused, now) = std::tuple(Menu, false, now + 600);
    pressAndRun(SDLK_RETURN);
    EXPECT_EQ(std::pair(game.screen, loop.paused), std::pair(Playing, false)) << "the menu's stall";
}

const char* const Tracks[] = {"BGLOOP2", "Home", "INDS_08", "MISC_03", "NEWA_11A"};

void openTracks(Game& game) {
    for (int i = 0; i < 5; ++i) {
        game.musicTracks[i] = openTrack((MediaDir + "//sound/" + Tracks[i] + ".mid").c_str());
        ASSERT_NE(game.musicTracks[i], 0u);
    }
}

TEST_F(Loop, TheMusicIsCheckedEveryFiveSecondsAndAStoppedTrackFollowedOn) {
    openTracks(game);
    now = 4999;
    frame();
    EXPECT_FALSE(trackIsPlaying(game.musicTracks[0])) << "not before 5000 ms";
    now = 5000;
    frame();
    EXPECT_EQ(game.currentTrack, 0) << "on the menu the stopped track is sent again";
    EXPECT_TRUE(trackIsPlaying(game.musicTracks[0]));
    EXPECT_EQ(loop.lastMusicCheck, 5000u);
    now = 9999;
    game.screen = HighScores;
    frame();
    EXPECT_EQ(loop.lastMusicCheck, 5000u);

    for (unsigned seed = 1; seed <= 3; ++seed) { // off the menu: a random one of 1 to 4
        closeAllTracks();
        openTracks(game);
        std::srand(seed);
        const int expected = std::rand() % 4 + 1;
        std::srand(seed);
        game.currentTrack = 0;
        now += 5000;
        frame();
        EXPECT_EQ(game.currentTrack, expected);
        EXPECT_TRUE(trackIsPlaying(game.musicTracks[expected]));
    }
}

// A game hopped low to its end, paused once, while the synthesizer starts (96,000 draws of its
// own) and the music check draws between the game's frames: it replays as played, its run is
// kept, watched from the list, shown after 20 idle seconds with the menu's music, and deleted
// when ten better scores push it out of the table.
TEST_F(Loop, EveryGameIsRecordedAndItsRunKeptWatchedShownAsTheDemoAndDropped) {
    std::uint32_t updates = 1; // the frame of the Enter plays the first
    pressAndRun(SDLK_RETURN);
    for (int i = 0; game.screen == Playing && i < 5000; ++i, now += 100) {
        if (i == 50) {
            openTracks(game);
        } else if (i == 60 || i == 62) {
            press(i == 60 ? SDLK_p : SDLK_SPACE);
        }
        spaceHeld = game.playerHeight == 0;
        frame();
        updates += !loop.paused;
    }
    ASSERT_EQ(game.screen, NameEntry);
    const ReplayCheck check = checkReplay(game.tape.recording());
    EXPECT_EQ(std::tuple(check.difference, check.score, check.frames),
              std::tuple("", game.score, updates));
    pressAndRun(SDLK_RETURN);
    const std::string run = keptRunPath(dir.file("poon.txt"), game.score),
                      table = readFile(dir.file("poon.txt"));
    EXPECT_EQ(readFile(run), game.tape.recording().encode());

    for (int wait : {19999, 1}) {
        EXPECT_EQ(game.screen, Menu);
        now += wait;
        frame();
    }
    EXPECT_EQ(std::tuple(game.screen, game.watching.demo, game.watching.source),
              std::tuple(Playing, true, run));
    closeAllTracks(); // all stopped: the menu's rule sends track 0 again, another's picks 1 to 4
    openTracks(game);
    game.currentTrack = 0;
    for (int i = 0; i < 60; ++i, now += 100) {
        frame();
    }
    const std::uint32_t taken = game.tape.playFramesTaken(); // at the recorded 100 ms a frame
    EXPECT_EQ(std::tuple(game.watching.active, taken > 40 && taken <= 61, game.currentTrack),
              std::tuple(true, true, 0));
    pressAndRun(SDLK_ESCAPE);
    EXPECT_EQ(std::tuple(game.screen, loop.quit, readFile(dir.file("poon.txt"))),
              std::tuple(Menu, false, table));

    game.menuSelection = 2;
    pressAndRun(SDLK_RETURN);
    EXPECT_EQ(pressAndRun(SDLK_DOWN, 3), Move) << "one row to choose";
    EXPECT_EQ(pressAndRun(SDLK_RETURN).at(0), Select[0]) << "then the run's first frames";
    EXPECT_TRUE(game.watching.active && !game.watching.demo);
    pressAndRun(SDLK_a);
    EXPECT_EQ(std::tuple(game.screen, game.highScoreRow), std::tuple(HighScores, 0));
    for (int i = 1; i <= 10; ++i) {
        game.highScores.insert(1e7 + i, "better");
    }
    pressAndRun(SDLK_UP);
    pressAndRun(SDLK_RETURN); // no row chosen: the list is left and saved
    EXPECT_EQ(std::tuple(game.screen, std::filesystem::exists(run)), std::tuple(Menu, false));
}

TEST_F(Loop, AReplaysFolderThatCannotBeWrittenCostsOneWarningAndNoScore) {
    dir.write("replays", ""); // a file where the folder goes
    game.tape.record();
    game.tape.finish(5);
    game.score = 5;
    game.screen = NameEntry;
    press(SDLK_RETURN);
    CapturedOutput output;
    game.runFrame(loop);
    EXPECT_EQ(output.err(), "WARN) Could not keep the run of 5 as " + dir.file("replays/5.replay") +
                                ": Not a directory\n");
    EXPECT_EQ(readFile(dir.file("poon.txt")), "anonymous   5\n");
}

} // namespace
