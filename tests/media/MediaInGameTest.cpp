// The committed media through the game's own loaders, exactly as start-up uses them.
#include "engine/MoxBitmapFont.h"
#include "engine/Music.h"
#include "engine/Platform.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const std::string Media = std::string(PROJECT_SOURCE_DIR) + "/media";

TEST(MediaInGame, TheSpriteAndSoundManagersLoadTheWholeSet) {
    glwindow::open();
    initAudio(22050, 2);
    CapturedOutput output;
    SpriteManager sprites((Media + "/sprites").c_str());
    SoundManager sounds((Media + "/sound").c_str());
    output.stop();
    EXPECT_EQ(sprites.count(), 24);
    EXPECT_EQ(sounds.count(), 7);
    EXPECT_EQ(output.out(), "Loaded 24 sprites\n");
    EXPECT_EQ(output.err(), "Sorry, sprite " + Media + "/sprites/24.png is missing\n" + Media +
                                "/sound/7.wav is missing\n");
}

TEST(MediaInGame, TheFontLoadsWithNoWarningButTheTrailingBlankLine) {
    glwindow::open();
    CapturedOutput output;
    MoxBitmapFont font((Media + "/font.png").c_str(), (Media + "/font.fnt").c_str());
    output.stop();
    ASSERT_TRUE(font.ready) << output.err();
    EXPECT_EQ(output.err(), "WARN) Detected blank line.\n");
    for (int c = 33; c <= 126; ++c) {
        const Glyph& g = font.glyphs[c];
        EXPECT_EQ(g.id, c);
        EXPECT_GT(g.width, 0) << c;
        EXPECT_GT(g.xadvance, 0) << c;
        EXPECT_LE(g.x + g.width, 256) << c;
        EXPECT_LE(g.y + g.height, 256) << c;
    }
    EXPECT_GT(font.glyphs[' '].xadvance, 0);
    EXPECT_GT(font.getLineHeight(), 0);
    EXPECT_LE(font.getLineHeight(), 25) << "high-score rows are 25 pixels apart";
}

TEST(MediaInGame, TheFiveTracksOpenAndPlayInTheMusicLayer) {
    glwindow::open();
    initAudio(22050, 2);
    CapturedOutput output;
    for (const char* name : {"BGLOOP2", "Home", "INDS_08", "MISC_03", "NEWA_11A"}) {
        const std::uint32_t track = openTrack((Media + "//sound/" + name + ".mid").c_str());
        ASSERT_NE(track, 0u) << name;
        playTrack(track);
        EXPECT_TRUE(trackIsPlaying(track)) << name;
    }
    closeAllTracks();
    output.stop();
    EXPECT_EQ(output.err(), "");
}

} // namespace
