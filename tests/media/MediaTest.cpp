// The committed media as the player meets them: pictures that fit where the game draws them,
// a font for every printable character, and music that sounds like music under the effects.
#include "engine/MoxBitmapFont.h"
#include "engine/Music.h"
#include "engine/SoundManager.h"
#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"

#include <SDL.h>
#include <SDL_image.h>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

const std::string Media = std::string(PROJECT_SOURCE_DIR) + "/media";

using Surface = std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)>;

// A picture as 32-bit RGBA (red first in memory) whatever its file's format.
Surface loadRgba(const std::string& path) {
    Surface raw(IMG_Load(path.c_str()), SDL_FreeSurface);
    if (!raw) {
        return raw;
    }
    Surface rgba(
        SDL_CreateRGBSurface(SDL_SWSURFACE, raw->w, raw->h, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000),
        SDL_FreeSurface);
    SDL_SetAlpha(raw.get(), 0, 255); // copy the alpha, do not blend with it
    SDL_BlitSurface(raw.get(), nullptr, rgba.get(), nullptr);
    return rgba;
}

SDL_Color at(const Surface& s, int x, int y) {
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * 4;
    return SDL_Color{p[0], p[1], p[2], p[3]};
}

TEST(Media, PicturesFitWhereTheGameDrawsThem) {
    for (int id = 0; id <= 23; ++id) {
        SCOPED_TRACE("sprite " + std::to_string(id));
        const Surface s = loadRgba(Media + "/sprites/" + std::to_string(id) + ".png");
        ASSERT_TRUE(s);
        const bool full = id == 0 || (id >= 18 && id != 19), tile = id >= 1 && id <= 5,
                   dot = id == 16 || id == 17;
        EXPECT_EQ(s->w, full ? 800 : tile ? 128 : dot ? 8 : 64);
        EXPECT_EQ(s->h * 4, s->w * (full ? 3 : 4));
        if (full || dot) {
            continue;
        }
        // Figures drawn over the scene: see-through around them, and no pink fringe where
        // the loader keys out magenta.
        int clear = 0, opaque = 0;
        for (int y = 0; y < s->h; ++y) {
            for (int x = 0; x < s->w; ++x) {
                const SDL_Color c = at(s, x, y);
                clear += c.unused == 0;
                opaque += c.unused == 255;
                ASSERT_FALSE(c.r > 200 && c.b > 200 && c.g < 80 && c.unused > 0) << x << "," << y;
            }
        }
        EXPECT_GT(clear, s->w * s->h / 10);
        EXPECT_GT(opaque, s->w * s->h / 10);
        EXPECT_EQ(at(s, 0, 0).unused, 0);
    }
    // The ground tile stands with its top on the ground line, in front of what stands there:
    // clear above its grass, solid below.
    const Surface ground = loadRgba(Media + "/sprites/5.png");
    for (int x = 0; x < 128; ++x) {
        ASSERT_EQ(at(ground, x, 39).unused + at(ground, x, 0).unused, 0) << x;
        ASSERT_EQ(at(ground, x, 64).unused & at(ground, x, 127).unused, 255) << x;
    }
}

// Every printable character has a glyph inside the page that fits a 25-pixel score row.
TEST(Media, TheFontHasEveryPrintableCharacter) {
    glwindow::open();
    CapturedOutput quiet;
    MoxBitmapFont font((Media + "/font.png").c_str(), (Media + "/font.fnt").c_str());
    quiet.stop();
    ASSERT_TRUE(font.ready);
    for (int code = 33; code <= 126; ++code) {
        const Glyph& g = font.glyphs[code];
        EXPECT_TRUE(g.id == code && g.width > 0 && g.xadvance > 0 && g.x + g.width <= 256 &&
                    g.y + g.height <= 256 && g.yoffset + g.height <= 25)
            << "char " << code;
    }
}

// The title track through the game's synthesizer and SoundFont, then a pickup sound at the
// game's effect volume: music, not noise, and softer than the effects without vanishing.
TEST(Media, TheMusicIsMusicAndSitsUnderTheEffects) {
    using namespace audiotest;
    const std::string capture = std::string(TEST_OUTPUT_DIR) + "/title-then-effect.raw";
    ASSERT_TRUE(openDiskAudio(capture, 20)) << SDL_GetError();
    CapturedOutput quiet;
    SoundManager sounds((Media + "/sound").c_str());
    sounds.setVolume(50);
    const std::uint32_t title = openTrack((Media + "/sound/BGLOOP2.mid").c_str());
    ASSERT_NE(title, 0u);
    playTrack(title);
    ASSERT_TRUE(
        waitUntil([&] { return readSamples(capture).size() > 6u * Rate * Channels; }, 20000));
    closeAllTracks();
    SDL_Delay(300);
    const std::size_t effectFrom = readSamples(capture).size();
    sounds.play(2);
    ASSERT_TRUE(waitUntil([] { return Mix_Playing(-1) == 0; }, 5000));
    closeAudio();
    quiet.stop();
    const Samples all = readSamples(capture);
    const Samples music(all.begin() + Rate * Channels, all.begin() + 6 * Rate * Channels);
    const Samples effect(all.begin() + effectFrom, all.end());
    const double musicDb = 20 * std::log10(rms(music) / 32767),
                 effectDb = 20 * std::log10(peak(effect) / 32767.0);
    std::printf("music %.1f dBFS, smoothness %.3f; effect peak %.1f dBFS\n", musicDb,
                smoothness(music), effectDb);
    EXPECT_GT(smoothness(music), 0.9);
    EXPECT_GT(musicDb, -35.0);
    EXPECT_LT(musicDb, effectDb);
}

} // namespace
