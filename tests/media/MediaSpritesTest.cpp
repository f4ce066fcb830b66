// Checks the committed pictures: every sprite id the game draws decodes at its size, the
// sprites that stand on the scene are see-through around the figure, and the ground tile
// and background fit the positions the game draws them at.

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string mediaDir = std::string(PROJECT_SOURCE_DIR) + "/media";

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

Surface load(const std::string& path) {
    return Surface(IMG_Load(path.c_str()));
}

std::string spritePath(int id) {
    return mediaDir + "/sprites/" + std::to_string(id) + ".png";
}

// RGBA of one pixel of a 32-bit surface.
SDL_Color rgba(SDL_Surface* s, int x, int y) {
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    Uint32 value = reinterpret_cast<const Uint32*>(row)[x];
    SDL_Color c;
    SDL_GetRGBA(value, s->format, &c.r, &c.g, &c.b, &c.unused);
    return c;
}

// The picture as 32-bit RGBA whatever its file's format (opaque pictures have no alpha).
Surface loadRgba(const std::string& path) {
    Surface raw = load(path);
    if (!raw) return raw;
    SDL_Surface* rgbaSurface = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0x000000FF,
                                                    0x0000FF00, 0x00FF0000, 0xFF000000);
    if (rgbaSurface == nullptr) return Surface();
    SDL_SetAlpha(raw.get(), 0, 255);
    Surface out(SDL_ConvertSurface(raw.get(), rgbaSurface->format, SDL_SWSURFACE));
    SDL_FreeSurface(rgbaSurface);
    return out;
}

bool greenest(SDL_Color c) {
    return c.g > c.r && c.g > c.b;
}

struct Size {
    int width;
    int height;
};

Size expectedSize(int id) {
    if (id == 0 || (id >= 18 && id <= 23 && id != 19)) return {800, 600};
    if (id >= 1 && id <= 5) return {128, 128};
    if (id == 16 || id == 17) return {8, 8};
    return {64, 64};
}

TEST(MediaSprites, EveryIdTheGameDrawsDecodesAtItsSize) {
    for (int id = 0; id <= 23; ++id) {
        SCOPED_TRACE(spritePath(id));
        Surface s = load(spritePath(id));
        ASSERT_NE(s, nullptr) << IMG_GetError();
        Size want = expectedSize(id);
        EXPECT_EQ(s->w, want.width);
        EXPECT_EQ(s->h, want.height);
    }
}

TEST(MediaSprites, FiguresAreSeeThroughAroundThemAndFreeOfMagenta) {
    // Clouds, the ground tile, player poses, scrolling objects and the cursor are drawn
    // over the scene.
    const int ids[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 19};
    for (int id : ids) {
        SCOPED_TRACE(spritePath(id));
        Surface s = load(spritePath(id));
        ASSERT_NE(s, nullptr);
        ASSERT_EQ(s->format->BytesPerPixel, 4);
        ASSERT_NE(s->format->Amask, 0u) << "needs an alpha channel";
        ASSERT_EQ(SDL_LockSurface(s.get()), 0);
        int clear = 0;
        int opaque = 0;
        for (int y = 0; y < s->h; ++y) {
            for (int x = 0; x < s->w; ++x) {
                SDL_Color c = rgba(s.get(), x, y);
                if (c.unused == 0) ++clear;
                if (c.unused == 255) ++opaque;
                // The loader keys out magenta; a near miss would show as a pink fringe.
                bool nearMagenta = c.r > 200 && c.b > 200 && c.g < 80;
                EXPECT_FALSE(nearMagenta && c.unused > 0) << "at " << x << "," << y;
                if (c.unused == 0) {
                    // Transparent pixels carry an edge colour, so filtering adds no black rim.
                    EXPECT_FALSE(c.r == 0 && c.g == 0 && c.b == 0) << "at " << x << "," << y;
                }
            }
        }
        SDL_UnlockSurface(s.get());
        int total = s->w * s->h;
        EXPECT_GT(clear, total / 10) << "no room around the figure";
        EXPECT_GT(opaque, total / 10) << "hardly anything drawn";
        EXPECT_EQ(rgba(s.get(), 0, 0).unused, 0) << "top-left corner should be see-through";
    }
}

// The game draws the ground tiles with their top on the ground line, over the objects
// standing there, whose 64-pixel boxes also start on that line; their feet are near the
// boxes' bottom. So the tile must be clear above the grass, which runs along rows ~56-62.
TEST(MediaSprites, GroundTileIsClearAboveItsGrassAndSolidBelow) {
    Surface tile = load(spritePath(5));
    ASSERT_NE(tile, nullptr);
    ASSERT_EQ(tile->format->BytesPerPixel, 4);
    ASSERT_EQ(SDL_LockSurface(tile.get()), 0);
    int lowSurface = 0;
    int grassy = 0;
    int dirt = 0;
    for (int x = 0; x < 128; ++x) {
        SCOPED_TRACE("column " + std::to_string(x));
        for (int y = 0; y < 40; ++y) {
            ASSERT_EQ(rgba(tile.get(), x, y).unused, 0) << "row " << y << " hides objects";
        }
        int first = 0;
        while (first < 128 && rgba(tile.get(), x, first).unused < 128) ++first;
        EXPECT_GE(first, 44) << "grass reaching up over the objects";
        EXPECT_LE(first, 62) << "no surface where the feet are";
        if (first >= 54) ++lowSurface;
        if (first + 3 < 128 && greenest(rgba(tile.get(), x, first + 3))) ++grassy;
        for (int y = 64; y < 128; ++y) {
            ASSERT_EQ(rgba(tile.get(), x, y).unused, 255) << "row " << y << " of the dirt";
        }
        for (int y = 80; y < 128; ++y) {
            SDL_Color c = rgba(tile.get(), x, y);
            dirt += c.r > c.g && c.g > c.b;
        }
    }
    EXPECT_GE(lowSurface, 96) << "only a few tufts may stand in front of the feet";
    EXPECT_GE(grassy, 96) << "the surface is grass";
    EXPECT_GE(dirt, 128 * 48 * 9 / 10) << "dirt below the grass";
    // Tiles sit side by side: the last column leads into the first.
    int seam = 0;
    int inside = 0;
    for (int y = 0; y < 128; ++y) {
        SDL_Color a = rgba(tile.get(), 127, y), b = rgba(tile.get(), 0, y),
                  c = rgba(tile.get(), 1, y);
        seam += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
        inside += std::abs(b.r - c.r) + std::abs(b.g - c.g) + std::abs(b.b - c.b);
    }
    EXPECT_LE(seam, 2 * inside + 128 * 6) << "a visible seam between tiles";
    SDL_UnlockSurface(tile.get());
}

// Behind the see-through top of the ground row (screen rows 472..533) the background shows
// scenery, and above, where clouds and the white status lines are, sky.
TEST(MediaSprites, BackgroundShowsMeadowBehindTheGroundAndSkyAtTheTop) {
    Surface bg = loadRgba(spritePath(0));
    ASSERT_NE(bg, nullptr) << IMG_GetError();
    ASSERT_EQ(SDL_LockSurface(bg.get()), 0);
    int green = 0;
    int band = 0;
    for (int y = 476; y < 533; ++y) {
        for (int x = 0; x < 800; ++x) {
            SDL_Color c = rgba(bg.get(), x, y);
            EXPECT_EQ(c.unused, 255);
            green += greenest(c);
            ++band;
        }
    }
    int blue = 0;
    int top = 0;
    for (int y = 0; y < 180; ++y) {
        for (int x = 0; x < 800; ++x) {
            SDL_Color c = rgba(bg.get(), x, y);
            blue += c.b > c.r && c.b > c.g;
            ++top;
        }
    }
    SDL_UnlockSurface(bg.get());
    EXPECT_GE(green, band * 9 / 10);
    EXPECT_GE(blue, top * 8 / 10);
}

} // namespace
