// Checks the committed media the game loads: every sprite id it draws decodes at its size,
// the sprites that stand on the scene are see-through around the figure, the ground tile
// and background fit the positions the game draws them at, and the bitmap font's page and
// metrics fit together.

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
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

// The char and common lines of font.fnt, read as name=value words.
struct FontFile {
    std::string raw;
    std::map<std::string, int> common;
    std::vector<std::map<std::string, int>> chars;
};

std::map<std::string, int> values(const std::string& line) {
    std::map<std::string, int> out;
    std::istringstream words(line);
    std::string word;
    words >> word; // the keyword
    while (words >> word) {
        auto eq = word.find('=');
        if (eq != std::string::npos) out[word.substr(0, eq)] = std::stoi(word.substr(eq + 1));
    }
    return out;
}

FontFile readFont() {
    FontFile f;
    std::ifstream in(mediaDir + "/font.fnt", std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    f.raw = all.str();
    std::istringstream lines(f.raw);
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        ++n;
        if (n == 2) f.common = values(line);
        if (n > 2 && line.rfind("char ", 0) == 0) f.chars.push_back(values(line));
    }
    return f;
}

TEST(MediaFont, DefinitionKeepsToTheLinesTheGameReads) {
    FontFile f = readFont();
    ASSERT_FALSE(f.raw.empty()) << "media/font.fnt missing";
    EXPECT_EQ(f.raw.back(), '\n');
    EXPECT_EQ(f.raw.find('\r'), std::string::npos);
    EXPECT_EQ(f.raw.find("  "), std::string::npos) << "words are split at single spaces";
    EXPECT_EQ(f.raw.find("kerning"), std::string::npos);

    std::istringstream lines(f.raw);
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("common ", 0), 0u);
    int lineNo = 2;
    while (std::getline(lines, line)) {
        ++lineNo;
        EXPECT_EQ(line.rfind("char ", 0), 0u) << "line " << lineNo << ": " << line;
    }

    EXPECT_EQ(f.common["scaleW"], 256);
    EXPECT_EQ(f.common["scaleH"], 256);
    // Rows of the high-score list are 25 pixels apart; the status lines 45. Every glyph,
    // outline included, fits in the line (checked below), so rows never overlap.
    EXPECT_GE(f.common["lineHeight"], 16);
    EXPECT_LE(f.common["lineHeight"], 25);
}

TEST(MediaFont, EveryPrintableCharacterHasAGlyphInsideThePage) {
    Surface page = load(mediaDir + "/font.png");
    ASSERT_NE(page, nullptr) << IMG_GetError();
    ASSERT_EQ(page->w, 256);
    ASSERT_EQ(page->h, 256);
    ASSERT_EQ(page->format->BytesPerPixel, 4);

    FontFile f = readFont();
    std::map<int, std::map<std::string, int>> byId;
    for (auto& c : f.chars) {
        EXPECT_EQ(byId.count(c["id"]), 0u) << "id " << c["id"] << " twice";
        byId[c["id"]] = c;
    }
    ASSERT_EQ(SDL_LockSurface(page.get()), 0);
    for (int id = 32; id <= 126; ++id) {
        SCOPED_TRACE("char " + std::to_string(id));
        ASSERT_EQ(byId.count(id), 1u);
        auto& g = byId[id];
        EXPECT_GE(g["x"], 0);
        EXPECT_GE(g["y"], 0);
        EXPECT_GE(g["width"], 0);
        EXPECT_GE(g["height"], 0);
        EXPECT_LE(g["x"] + g["width"], 256);
        EXPECT_LE(g["y"] + g["height"], 256);
        EXPECT_GT(g["xadvance"], 0);
        EXPECT_GE(g["yoffset"], 0);
        EXPECT_LE(g["yoffset"] + g["height"], f.common["lineHeight"]);
        if (id == ' ') continue;
        // White inside a dark plum rim, anti-aliased through alpha. Every drawn texel lies
        // between the two colours (never the keyed-out black), and no light texel touches
        // an empty one: the rim goes all round, so the text reads on white clouds too.
        const SDL_Color rim = {0x2a, 0x1b, 0x33, 0};
        int white = 0;
        int rimmed = 0;
        for (int y = g["y"]; y < g["y"] + g["height"] && y < 256; ++y) {
            for (int x = g["x"]; x < g["x"] + g["width"] && x < 256; ++x) {
                SDL_Color c = rgba(page.get(), x, y);
                if (c.unused == 0) continue;
                EXPECT_FALSE(c.r == 0 && c.g == 0 && c.b == 0) << "keyed out at " << x << "," << y;
                EXPECT_TRUE(c.r >= rim.r && c.g >= rim.g && c.b >= rim.b)
                    << "darker than the rim at " << x << "," << y;
                if (c.unused == 255 && c.r == 255 && c.g == 255 && c.b == 255) ++white;
                if (c.unused == 255 && c.r == rim.r && c.g == rim.g && c.b == rim.b) ++rimmed;
                if (c.r > 128) {
                    ASSERT_TRUE(x > 0 && y > 0 && x < 255 && y < 255);
                    EXPECT_TRUE(rgba(page.get(), x - 1, y).unused > 0 &&
                                rgba(page.get(), x + 1, y).unused > 0 &&
                                rgba(page.get(), x, y - 1).unused > 0 &&
                                rgba(page.get(), x, y + 1).unused > 0)
                        << "light texel without a rim at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(white, 0) << "no white inside";
        EXPECT_GT(rimmed, 0) << "no outline";
    }
    // Empty page space is keyed-out black.
    SDL_Color corner = rgba(page.get(), 255, 255);
    EXPECT_EQ(corner.r + corner.g + corner.b + corner.unused, 0);
    SDL_UnlockSurface(page.get());
}

TEST(MediaFont, ScoreTableRowsFitTheScreen) {
    FontFile f = readFont();
    std::map<int, int> advance;
    for (auto& c : f.chars) advance[c["id"]] = c["xadvance"];
    auto width = [&](const std::string& s) {
        int w = 0;
        for (unsigned char ch : s) w += advance[ch];
        return w;
    };
    char row[64];
    std::snprintf(row, sizeof row, "%32s   %f", "prawnmasterhopling", 1234567.0);
    // Rows start at x 50 on an 800-pixel screen.
    EXPECT_LE(50 + width(row), 780) << row;
    EXPECT_GE(width(row), 300) << "too small to read";
    EXPECT_LE(width(" Prawnage: -1234567"), 400);
}

} // namespace
