#include "engine/SpriteManager.h"

#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/PngFile.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

using glwindow::rgbAt;

PngPicture solid(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    PngPicture picture(width, height, 3);
    picture.fill(0, 0, width, height, r, g, b);
    return picture;
}

// A 24-bit BMP `width` grey pixels wide and one high.
std::string bmp(std::uint32_t width) {
    const std::uint32_t size = (width * 3 + 3) / 4 * 4;
    std::string out = "BM";
    for (std::uint32_t v : {54 + size, 0u, 54u, 40u, width, 1u, 1u | 24u << 16}) {
        audiotest::put(out, v, 4);
    }
    return out + std::string(24, '\0') + std::string(size, '\x80');
}

std::unique_ptr<SpriteManager> load(const std::string& from) {
    CapturedOutput quiet;
    return std::make_unique<SpriteManager>(from.c_str());
}

// Sprite 0 is white; 1 has red, green / blue, white quarters.
class Sprites : public ::testing::Test {
  protected:
    void SetUp() override {
        glwindow::open();
        PngPicture corners = solid(4, 4, 255, 255, 255);
        corners.fill(0, 0, 2, 2, 255, 0, 0);
        corners.fill(2, 0, 2, 2, 0, 255, 0);
        corners.fill(0, 2, 2, 2, 0, 0, 255);
        ASSERT_TRUE(writePng(dir.file("0.png"), solid(2, 2, 255, 255, 255)));
        ASSERT_TRUE(writePng(dir.file("1.png"), corners));
        sprites = load(dir.path());
        sprites->setScreenSize(800, 600);
    }

    TempDir dir;
    std::unique_ptr<SpriteManager> sprites;
};

// Names are formed in 200 characters: "<long>/9.png" is 199, "<long>/10.png" counts as missing.
TEST_F(Sprites, LoadingStopsAtTheFirstNumberThatDoesNotLoad) {
    const std::string junk = dir.file("junk"), huge(5000, 'x'), wide = dir.file("wide"),
                      longDir = dir.file(std::string(192 - dir.path().size(), 'd'));
    // Directory, its files (p picture, j junk, b/B BMP 8192/8193 wide), loaded, name missing.
    const std::tuple<std::string, std::string, int, std::string> cases[] = {
        {junk, "ppj", 2, junk + "/2.png"},
        {longDir, "ppppppppppp", 10, longDir + "/10.pn"},
        {huge, "", 0, huge.substr(0, 199)},
        {wide, "bB", 1, wide + "/1.png"}};
    for (const auto& [set, files, loaded, missing] : cases) {
        std::error_code tooLong; // the huge name cannot be made
        std::filesystem::create_directory(set, tooLong);
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string file = set + "/" + std::to_string(i) + ".png";
            if (files[i] == 'p') {
                ASSERT_TRUE(writePng(file, solid(1, 1, 9, 9, 9)));
            } else {
                std::ofstream(file) << (files[i] == 'j' ? "junk" : bmp(8192 + (files[i] == 'B')));
            }
        }
        CapturedOutput output;
        SpriteManager loading(set.c_str());
        EXPECT_EQ(output.out(), "Loaded " + std::to_string(loaded) + " sprites\n") << files;
        EXPECT_EQ(output.err(), "Sorry, sprite " + missing + " is missing\n") << files;
        EXPECT_EQ(loading.count(), loaded);
    }
}

// Each row is tried as an RGB(A) and as a palette picture.
TEST_F(Sprites, OnlyPureMagentaBecomesTransparentBlack) {
    using Pixel = std::array<std::uint8_t, 4>;
    const Pixel key{255, 0, 255, 255}, nearKey{255, 0, 254, 255}, other{10, 20, 30, 255};
    const std::tuple<int, std::array<Pixel, 4>, const char*> cases[] = {
        {3, {nearKey, {254, 0, 255, 255}, other, key}, "ff00fefffe00ffff0a141eff00000000"},
        // The key colour half transparent is still the key.
        {4,
         {key, {255, 0, 255, 128}, {10, 20, 30, 128}, {40, 50, 60, 0}},
         "00000000000000000a141e8028323c00"},
        // A palette without magenta: its nearest entry must not be keyed instead.
        {3, {nearKey, nearKey, nearKey, other}, "ff00feffff00feffff00feff0a141eff"}};
    for (const auto& [channels, row, texels] : cases) {
        for (bool palette : {false, true}) {
            PngPicture picture(4, 1, channels);
            for (int x = 0; x < 4; ++x) {
                picture.fill(x, 0, 1, 1, row[x][0], row[x][1], row[x][2], row[x][3]);
            }
            TempDir one;
            ASSERT_TRUE(writePng(one.file("0.png"), picture, palette));
            auto loaded = load(one.path());
            ASSERT_EQ(loaded->count(), 1);
            std::uint8_t b[16];
            glBindTexture(GL_TEXTURE_2D, *loaded->getTexture(0));
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, b);
            char hex[33];
            for (int i = 0; i < 16; ++i) {
                std::snprintf(hex + 2 * i, 3, "%02x", b[i]);
            }
            EXPECT_EQ(std::string(hex), texels) << (palette ? "palette" : "direct");
        }
    }
}

// Seen through a shift of (100, 100); only both coordinates at the sentinel centre a sprite.
TEST_F(Sprites, CullingKeepsRectanglesTouchingTheViewAndTheSentinelCentres) {
    auto fresh = load(dir.path()); // its view is 100000 square until set
    for (auto [x, drawn] : {std::pair{99990, true}, {100000, false}}) {
        glPushMatrix();
        glTranslatef(-99900, -99900, 0);
        fresh->draw(0, x, 99990, 10, 10);
        fresh->draw(0, 99990, x, 10, 10);
        glPopMatrix();
        EXPECT_EQ(rgbAt(x - 99900 + 5, 95) + rgbAt(95, x - 99900 + 5),
                  drawn ? "ffffffffffff" : "000000000000");
    }
    sprites->setScreenSize(400, 300);
    const std::tuple<int, int, bool> cases[] = {
        {-20, 0, true},      {0, -20, true},      {399, 100, true},  {100, 299, true},
        {-21, 50, false},    {50, -21, false},    {400, 150, false}, {150, 300, false},
        {-1337, 100, false}, {-1337, -1337, true}};
    for (const auto& [x, y, drawn] : cases) {
        glwindow::open();
        glPushMatrix();
        glTranslatef(100, 100, 0);
        sprites->draw(0, x, y, 20, 20);
        glPopMatrix();
        const bool centred = x == SpriteManager::CentreSentinel && y == x;
        EXPECT_EQ(rgbAt(centred ? 310 : x + 110, centred ? 260 : y + 110),
                  drawn ? "ffffff" : "000000")
            << x << "," << y;
    }
}

// Sprite 1 lands upright, unmirrored, stretched, and turned counter-clockwise.
TEST_F(Sprites, PicturesLandUprightAndUnknownIdsLogTwoLines) {
    CapturedOutput output;
    sprites->draw(1, 100, 50, 200, 120);
    sprites->drawRotated(1, 400, 100, 200, 200, 90.0f);
    sprites->draw(-1, 10, 20, 30, 30);
    sprites->drawRotated(2, 40, 50, 30, 30, 45.0f);
    sprites->draw(2, 900, 20, 30, 30); // culled: silent
    sprites->draw(0, 10, 20, 30, 30);
    const std::tuple<int, int, const char*> probes[] = {
        {150, 80, "ff0000"}, {250, 80, "00ff00"},  {150, 140, "0000ff"}, {250, 140, "ffffff"},
        {99, 50, "000000"},  {300, 169, "000000"}, {450, 150, "00ff00"}, {450, 250, "ff0000"},
        {10, 20, "ffffff"},  {39, 49, "ffffff"},   {40, 50, "000000"},   {55, 65, "000000"}};
    for (const auto& [x, y, colour] : probes) {
        EXPECT_EQ(rgbAt(x, y), colour) << "at (" << x << ", " << y << ")";
    }
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    sprites->clear();
    sprites->draw(0, 70, 80, 30, 30);
    EXPECT_EQ(rgbAt(85, 95), "000000");
    EXPECT_EQ(output.out(), "");
    EXPECT_EQ(output.err(), "Requested sprite -1 is out of bounds\n"
                            "FAIL) Requested dead sprite -1 to be drawn at (10,20)\n"
                            "Requested sprite 2 is out of bounds\n"
                            "FAIL) Requested dead sprite 2 to be drawn at (40,50)\n"
                            "Requested sprite 0 is out of bounds\n"
                            "FAIL) Requested dead sprite 0 to be drawn at (70,80)\n");
}

} // namespace
