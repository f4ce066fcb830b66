// Checks the committed media the game loads: every sprite id it draws decodes at its size,
// the sprites that stand on the scene are see-through around the figure, and the bitmap
// font's page and metrics fit together.

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
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
    // Clouds, player poses, scrolling objects and the cursor are drawn over the scene.
    const int ids[] = {1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 19};
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
    // Rows of the high-score list are 25 pixels apart; the status lines 45.
    EXPECT_GE(f.common["lineHeight"], 16);
    EXPECT_LE(f.common["lineHeight"], 26);
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
        // A visible glyph's rectangle holds its white coverage.
        int covered = 0;
        for (int y = g["y"]; y < g["y"] + g["height"] && y < 256; ++y) {
            for (int x = g["x"]; x < g["x"] + g["width"] && x < 256; ++x) {
                SDL_Color c = rgba(page.get(), x, y);
                if (c.unused > 0) {
                    ++covered;
                    EXPECT_TRUE(c.r == 255 && c.g == 255 && c.b == 255);
                }
            }
        }
        EXPECT_GT(covered, 0);
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
