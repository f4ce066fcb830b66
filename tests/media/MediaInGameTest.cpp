// The committed media through the game's own loaders, exactly as start-up uses them.
#include "engine/MoxBitmapFont.h"
#include "engine/Music.h"
#include "engine/Platform.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"

#include <SDL.h>
#include <SDL_image.h>
#include <cstdio>
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

// The strict reader takes the definition with nothing to say but the trailing blank line;
// every printable character has a glyph inside the page, white in a dark rim that is never
// the keyed-out black, and within one 25-pixel high-score row.
TEST(MediaInGame, TheFontLoadsCleanlyAndEveryGlyphReadsOnAnyBackground) {
    glwindow::open();
    CapturedOutput output;
    MoxBitmapFont font((Media + "/font.png").c_str(), (Media + "/font.fnt").c_str());
    output.stop();
    ASSERT_TRUE(font.ready) << output.err();
    EXPECT_EQ(output.err(), "WARN) Detected blank line.\n");
    EXPECT_LE(font.getLineHeight(), 25);

    SDL_Surface* loaded = IMG_Load((Media + "/font.png").c_str());
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* page = SDL_DisplayFormatAlpha(loaded);
    SDL_FreeSurface(loaded);
    ASSERT_EQ(page->w, 256);
    ASSERT_EQ(page->h, 256);
    auto texel = [&](int x, int y) {
        SDL_Color c;
        const Uint32 value = static_cast<Uint32*>(page->pixels)[y * page->pitch / 4 + x];
        SDL_GetRGBA(value, page->format, &c.r, &c.g, &c.b, &c.unused);
        return c;
    };
    const SDL_Color rim = {0x2a, 0x1b, 0x33, 0};
    for (int code = 33; code <= 126; ++code) {
        SCOPED_TRACE("char " + std::to_string(code));
        const Glyph& g = font.glyphs[code];
        ASSERT_EQ(g.id, code);
        ASSERT_GT(g.width, 0);
        ASSERT_LE(g.x + g.width, 256);
        ASSERT_LE(g.y + g.height, 256);
        EXPECT_GT(g.xadvance, 0);
        EXPECT_LE(g.yoffset + g.height, font.getLineHeight());
        int white = 0;
        for (int y = g.y; y < g.y + g.height; ++y) {
            for (int x = g.x; x < g.x + g.width; ++x) {
                const SDL_Color c = texel(x, y);
                if (c.unused == 0) {
                    continue;
                }
                ASSERT_TRUE(c.r >= rim.r && c.g >= rim.g && c.b >= rim.b) << x << "," << y;
                white += c.unused == 255 && c.r == 255 && c.g == 255 && c.b == 255;
                if (c.r > 128) { // a light texel has drawn neighbours all round: the rim
                    ASSERT_TRUE(texel(x - 1, y).unused && texel(x + 1, y).unused &&
                                texel(x, y - 1).unused && texel(x, y + 1).unused)
                        << x << "," << y;
                }
            }
        }
        EXPECT_GT(white, 0);
    }
    SDL_FreeSurface(page);
    EXPECT_GT(font.glyphs[' '].xadvance, 0);

    // A high-score row starts at x 50 and must end inside the window.
    char row[64];
    std::snprintf(row, sizeof row, "%32s   %f", "prawnmasterhopling", 1234567.0);
    int width = 0;
    for (unsigned char c : std::string(row)) {
        width += font.glyphs[c].xadvance;
    }
    EXPECT_LE(50 + width, 780) << row;
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
