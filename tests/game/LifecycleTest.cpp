// Start-up and shut-down of the whole game, run in a scratch directory whose media links
// to the real files, less any a test leaves out.
#include "TestGame.h"

#include "engine/Music.h"

#include <SDL.h>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string caption() {
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    return title != nullptr ? title : "";
}

class Lifecycle : public ::testing::Test {
  protected:
    void SetUp() override {
        glwindow::open(); // init then reuses the window
        fs::create_directories(work.file("media/sound"));
        fs::create_directory_symlink(MediaDir + "/sprites", work.file("media/sprites"));
        for (const char* name : {"font.png", "font.fnt"}) {
            fs::create_symlink(MediaDir + "/" + name, work.file("media/") + name);
        }
        for (const auto& entry : fs::directory_iterator(MediaDir + "/sound")) {
            fs::create_symlink(entry.path(),
                               work.file("media/sound/") + entry.path().filename().string());
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

const std::string EndOfSets =
    "Sorry, sprite ./media/sprites/24.png is missing\n./media/sound/7.wav is missing\n";

TEST_F(Lifecycle, StartUpLoadsEverythingInOrderAndShutDownReleasesIt) {
    work.write("media/poon.txt", "amy 900\n");
    CapturedOutput output;
    ASSERT_EQ(game.init(800, 600), 1) << output.err();
    output.stop();
    EXPECT_EQ(game.initialised, 1);
    EXPECT_EQ(caption(), "Here be hoplings...");
    EXPECT_EQ(std::tuple(game.screen, game.highScores.size(), game.sounds->count(),
                         game.sprites->count()),
              std::tuple(Menu, 1u, 7, 24));
    ASSERT_NE(game.font, nullptr);
    EXPECT_TRUE(game.font->ready);
    EXPECT_TRUE(trackIsPlaying(game.musicTracks[0])) << "the title track starts at once";
    EXPECT_FALSE(trackIsPlaying(game.musicTracks[1]));
    EXPECT_TRUE(std::all_of(game.musicTracks, game.musicTracks + 5, [](auto t) { return t != 0; }));
    EXPECT_EQ(Mix_Volume(-1, -1), 50) << "the effects' volume, under which the music sits";
    const std::string& out = output.out();
    const auto sprites = out.find("Loaded 24 sprites\n");
    EXPECT_LT(
        sprites,
        out.find(
            "INFO) Initializing bitmap font load (tga:./media/font.png fnt:./media/font.fnt)\n"));
    EXPECT_NE(sprites, std::string::npos);
    EXPECT_EQ(output.err(), EndOfSets + "WARN) Detected blank line.\n");

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

} // namespace
