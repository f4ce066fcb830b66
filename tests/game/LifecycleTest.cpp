// Start-up and shut-down of the whole game, in a scratch directory linking to the real media.
#include "TestGame.h"

#include "engine/Music.h"

#include <SDL.h>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class Lifecycle : public ::testing::Test {
  protected:
    void SetUp() override {
        glwindow::open(); // init then reuses the window
        fs::create_directory(work.file("media"));
        for (const char* name : {"sprites", "sound", "font.png", "font.fnt"}) {
            fs::create_symlink(MediaDir + "/" + name, work.file("media/") + name);
        }
        previous = fs::current_path();
        fs::current_path(work.path());
    }
    void TearDown() override {
        CapturedOutput quiet;
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
    char* caption = nullptr;
    SDL_WM_GetCaption(&caption, nullptr);
    EXPECT_STREQ(caption, "Here be hoplings...");
    EXPECT_EQ(std::tuple(game.initialised, game.screen, game.highScores.size(),
                         game.sounds->count(), game.sprites->count()),
              std::tuple(1, Menu, 1u, 7, 24));
    EXPECT_TRUE(game.font != nullptr && game.font->ready);
    EXPECT_TRUE(trackIsPlaying(game.musicTracks[0])) << "the title track starts at once";
    EXPECT_FALSE(trackIsPlaying(game.musicTracks[1]));
    EXPECT_TRUE(std::all_of(game.musicTracks, game.musicTracks + 5, [](auto t) { return t != 0; }));
    EXPECT_EQ(Mix_Volume(-1, -1), 50) << "the effects' volume, under which the music sits";
    const auto sprites = output.out().find("Loaded 24 sprites\n");
    EXPECT_NE(sprites, std::string::npos);
    EXPECT_LT(sprites, output.out().find("INFO) Initializing bitmap font load "
                                         "(tga:./media/font.png fnt:./media/font.fnt)\n"));
    EXPECT_EQ(output.err(), "Sorry, sprite ./media/sprites/24.png is missing\n"
                            "./media/sound/7.wav is missing\nWARN) Detected blank line.\n");

    const std::uint32_t title = game.musicTracks[0];
    CapturedOutput closing;
    game.shutdown();
    EXPECT_EQ(closing.out().rfind("INFO) Emptying bitmap font\n", 0), 0u);
    EXPECT_EQ(game.initialised, 0);
    EXPECT_TRUE(game.font == nullptr && game.sprites == nullptr && game.sounds == nullptr);
    EXPECT_FALSE(trackIsPlaying(title));
    EXPECT_EQ(game.highScores.size(), 1u) << "shut-down neither empties nor saves the table";
    CapturedOutput again;
    game.shutdown(); // a second shut-down finds nothing to release
    EXPECT_EQ(again.out(), "");
}

} // namespace
