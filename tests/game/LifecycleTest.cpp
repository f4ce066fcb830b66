#include "game/Game.h"

#include "engine/MoxBitmapFont.h"
#include "engine/Music.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const fs::path Media = fs::path(PROJECT_SOURCE_DIR) / "media";

std::string caption() {
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    return title != nullptr ? title : "";
}

// Start-up reads ./media: run it from a scratch directory whose media links to the real
// files, less any the test leaves out.
class Lifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        // Opened here, with retries against a busy X server; init then reuses it.
        glwindow::open();
        fs::create_directories(work.path() + "/media/sound");
        fs::create_directory_symlink(Media / "sprites", work.path() + "/media/sprites");
        for (const char* name : {"font.png", "font.fnt"}) {
            fs::create_symlink(Media / name, work.path() + "/media/" + name);
        }
        for (const auto& entry : fs::directory_iterator(Media / "sound")) {
            fs::create_symlink(entry.path(),
                               work.path() + "/media/sound/" + entry.path().filename().string());
        }
        previous = fs::current_path();
        fs::current_path(work.path());
    }
    void TearDown() override {
        game.shutdown();
        fs::current_path(previous);
    }

    TempDir work;
    fs::path previous;
    Game game;
};

TEST_F(Lifecycle, StartUpLoadsEverythingInOrderAndShutDownReleasesIt) {
    work.write("media/poon.txt", "amy 900\n");
    CapturedOutput output;
    ASSERT_EQ(game.init(800, 600), 1) << output.err();
    output.stop();

    EXPECT_EQ(game.initialised, 1);
    EXPECT_EQ(caption(), "Here be hoplings...");
    EXPECT_EQ(game.screen, Menu);
    EXPECT_EQ(game.highScores.size(), 1u) << "the table is loaded";
    EXPECT_EQ(game.sounds->count(), 7);
    ASSERT_NE(game.font, nullptr);
    EXPECT_TRUE(game.font->ready);
    EXPECT_TRUE(trackIsPlaying(game.musicTracks[0])) << "the title track starts at once";
    EXPECT_FALSE(trackIsPlaying(game.musicTracks[1]));

    const std::string& out = output.out();
    const auto sprites = out.find("Loaded 24 sprites\n");
    const auto font = out.find("INFO) Initializing bitmap font load (tga:./media/font.png "
                               "fnt:./media/font.fnt)\n");
    ASSERT_NE(sprites, std::string::npos);
    ASSERT_NE(font, std::string::npos);
    EXPECT_LT(sprites, font);
    EXPECT_EQ(output.err(), "Sorry, sprite ./media/sprites/24.png is missing\n"
                            "./media/sound/7.wav is missing\n"
                            "WARN) Detected blank line.\n");

    const std::uint32_t title = game.musicTracks[0];
    CapturedOutput closing;
    game.shutdown();
    closing.stop();
    EXPECT_EQ(game.initialised, 0);
    EXPECT_TRUE(game.font == nullptr && game.sprites == nullptr && game.sounds == nullptr);
    EXPECT_FALSE(trackIsPlaying(title));
    EXPECT_EQ(closing.out().rfind("INFO) Emptying bitmap font\n", 0), 0u);
    EXPECT_EQ(game.highScores.size(), 1u) << "shut-down neither empties nor saves the table";

    CapturedOutput again;
    game.shutdown(); // a second shut-down finds nothing to release
    EXPECT_EQ(again.out(), "");
}

TEST_F(Lifecycle, ASecondInitShutsTheFirstDownBeforeStartingAgain) {
    CapturedOutput output;
    ASSERT_EQ(game.init(800, 600), 1);
    game.score = 1234;
    ASSERT_EQ(game.init(800, 600), 1);
    output.stop();
    EXPECT_EQ(game.score, 0.0f);
    const std::string& out = output.out();
    const auto emptied = out.find("INFO) Emptying bitmap font\n");
    EXPECT_EQ(out.rfind("INFO) Emptying bitmap font\n"), emptied) << "exactly once";
    EXPECT_LT(out.find("Loaded 24 sprites\n"), emptied);
    EXPECT_LT(emptied, out.rfind("Loaded 24 sprites\n"));
    EXPECT_TRUE(game.font->ready);
    EXPECT_TRUE(trackIsPlaying(game.musicTracks[0]));
}

TEST_F(Lifecycle, AMissingTrackStopsStartUpBeforeTheFont) {
    fs::remove(work.path() + "/media/sound/INDS_08.mid");
    CapturedOutput output;
    EXPECT_EQ(game.init(800, 600), 0);
    output.stop();
    EXPECT_EQ(output.err(), "Sorry, sprite ./media/sprites/24.png is missing\n"
                            "./media/sound/7.wav is missing\n"
                            "Hoplings: Error. Error: Could not open MCI device.\n");
    EXPECT_NE(game.musicTracks[1], 0u);
    EXPECT_EQ(game.musicTracks[2], 0u);
    EXPECT_EQ(game.font, nullptr);
    EXPECT_EQ(game.initialised, 0);
    EXPECT_EQ(caption(), "Loading...");
    EXPECT_EQ(output.out().find("INFO)"), std::string::npos);

    game.run(); // returns at once
    const std::uint32_t opened = game.musicTracks[1];
    game.shutdown();
    EXPECT_EQ(game.sprites, nullptr);
    playTrack(opened);
    EXPECT_FALSE(trackIsPlaying(opened)) << "the tracks that did open are closed";
}

} // namespace
