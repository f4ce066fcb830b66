#include "engine/SpriteManager.h"

#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/Pixels.h"
#include "support/PngFile.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Probe {
    int x, y;
    std::string colour;
};

void expectPixels(std::initializer_list<Probe> probes) {
    for (const Probe& p : probes) {
        EXPECT_EQ(rgbAt(p.x, p.y), p.colour) << "at (" << p.x << ", " << p.y << ")";
    }
}

const std::string Black = "000000", Red = "ff0000", Green = "00ff00", Blue = "0000ff",
                  White = "ffffff";

PngPicture solid(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    PngPicture picture(width, height, 3);
    picture.fill(0, 0, width, height, r, g, b);
    return picture;
}

// Texel `at` of RGBA bytes as 0xRRGGBBAA.
unsigned texel(const std::uint8_t* bytes, int at) {
    const std::uint8_t* p = bytes + at * 4;
    return unsigned(p[0]) << 24 | unsigned(p[1]) << 16 | unsigned(p[2]) << 8 | p[3];
}

// Red top-left, green top-right, blue bottom-left, white bottom-right.
PngPicture corners() {
    PngPicture picture = solid(4, 4, 255, 255, 255);
    picture.fill(0, 0, 2, 2, 255, 0, 0);
    picture.fill(2, 0, 2, 2, 0, 255, 0);
    picture.fill(0, 2, 2, 2, 0, 0, 255);
    return picture;
}

// Every test starts with sprite 0 solid white, 1 the corners, 2 a green 100 x 37, 3 an
// orange ring around a magenta hole and 4 solid navy.
class SpriteManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        glwindow::open();
        add(dir, 0, solid(2, 2, 255, 255, 255));
        add(dir, 1, corners());
        add(dir, 2, solid(100, 37, 0, 255, 0));
        PngPicture ring = solid(16, 16, 255, 200, 0);
        ring.fill(4, 4, 8, 8, 255, 0, 255);
        add(dir, 3, ring);
        add(dir, 4, solid(2, 2, 40, 60, 120));
        sprites = load(dir);
    }

    static void add(const TempDir& in, int number, const PngPicture& picture,
                    bool palette = false) {
        ASSERT_TRUE(writePng(in.file(std::to_string(number) + ".png"), picture, palette));
    }

    static std::unique_ptr<SpriteManager> load(const TempDir& from) {
        CapturedOutput quiet;
        return std::make_unique<SpriteManager>(from.path().c_str());
    }

    TempDir dir;
    std::unique_ptr<SpriteManager> sprites;
};

// Names are formed in 200 characters: a longer one counts as missing instead of overrunning
// the buffer ("<long>/9.png" is 199 characters, "<long>/10.png" would be 200).
TEST_F(SpriteManagerTest, LoadingStopsAtTheFirstNumberThatDoesNotLoad) {
    const std::string gap = dir.file("gap"), junk = dir.file("junk"), empty = dir.file("empty"),
                      longDir = dir.file(std::string(192 - dir.path().size(), 'd')),
                      huge(5000, 'x');
    // Directory, its files by number (p a picture, j junk, . none), sprites loaded, the
    // name reported missing.
    const std::tuple<std::string, std::string, int, std::string> cases[] = {
        {gap, "pp.p", 2, gap + "/2.png"},
        {junk, "pj", 1, junk + "/1.png"},
        {empty, "", 0, empty + "/0.png"},
        {longDir, "ppppppppppp", 10, longDir + "/10.pn"},
        {huge, "", 0, huge.substr(0, 199)}};
    for (const auto& [set, files, loaded, missing] : cases) {
        std::error_code tooLong; // the huge name cannot be made
        std::filesystem::create_directory(set, tooLong);
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string file = set + "/" + std::to_string(i) + ".png";
            if (files[i] == 'p') {
                ASSERT_TRUE(writePng(file, solid(1, 1, 9, 9, 9)));
            } else if (files[i] == 'j') {
                std::ofstream(file) << "junk";
            }
        }
        CapturedOutput output;
        SpriteManager loading(set.c_str());
        EXPECT_EQ(output.out(), "Loaded " + std::to_string(loaded) + " sprites\n") << files;
        EXPECT_EQ(output.err(), "Sorry, sprite " + missing + " is missing\n") << files;
        EXPECT_EQ(loading.count(), loaded);
    }
}

// Only pure magenta turns into transparent black; every other pixel keeps its colour and
// alpha. Each picture is tried in RGB(A) and in palette form.
TEST_F(SpriteManagerTest, OnlyPureMagentaBecomesTransparentBlack) {
    using Pixel = std::array<std::uint8_t, 4>;
    const Pixel key{255, 0, 255, 255}, nearKey{255, 0, 254, 255}, other{10, 20, 30, 255};
    // clang-format off
    const struct { int channels; std::array<Pixel, 4> row; const char* texels; } cases[] = {
        {3, {key, nearKey, {254, 0, 255, 255}, other}, "00000000 ff00feff fe00ffff 0a141eff"},
        // The key colour half transparent is still the key.
        {4, {key, {255, 0, 255, 128}, {10, 20, 30, 128}, {40, 50, 60, 0}},
         "00000000 00000000 0a141e80 28323c00"},
        // A palette without magenta: its nearest entry must not be keyed instead.
        {3, {nearKey, nearKey, nearKey, other}, "ff00feff ff00feff ff00feff 0a141eff"}};
    // clang-format on
    for (const auto& c : cases) {
        for (bool palette : {false, true}) {
            PngPicture picture(4, 1, c.channels);
            for (int x = 0; x < 4; ++x) {
                picture.set(x, 0, c.row[x][0], c.row[x][1], c.row[x][2], c.row[x][3]);
            }
            TempDir one;
            add(one, 0, picture, palette);
            auto loaded = load(one);
            ASSERT_EQ(loaded->count(), 1);
            std::uint8_t b[4 * 4];
            glBindTexture(GL_TEXTURE_2D, *loaded->getTexture(0));
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, b);
            char texels[40];
            std::snprintf(texels, sizeof texels, "%08x %08x %08x %08x", texel(b, 0), texel(b, 1),
                          texel(b, 2), texel(b, 3));
            EXPECT_EQ(std::string(texels), c.texels) << (palette ? "palette" : "direct");
        }
    }
}

// The second window is kept as a picture for people to look at.
TEST_F(SpriteManagerTest, PicturesLandUprightUnmirroredAndStretched) {
    sprites->setScreenSize(800, 600);
    sprites->draw(1, 100, 50, 200, 120);
    // Quadrant middles carry the pure corner colours; then the edges, inside and outside.
    expectPixels({{150, 80, Red}, {250, 80, Green}, {150, 140, Blue}, {250, 140, White}});
    EXPECT_NE(rgbAt(100, 50), Black);
    EXPECT_NE(rgbAt(299, 169), Black);
    expectPixels({{99, 50, Black}, {100, 49, Black}, {300, 169, Black}, {299, 170, Black}});

    glwindow::open();
    sprites->draw(4, 560, 0, 240, 600);
    sprites->draw(3, 560, 40, 200, 200);                // the navy shows through the hole
    sprites->drawRotated(1, 100, 100, 200, 200, 90.0f); // counter-clockwise about the centre
    sprites->drawRotated(1, 320, 340, 200, 200, 30.0f);
    sprites->draw(2, 400, 100, 5, 5); // odd sizes lose a pixel
    sprites->draw(2, 450, 200, 64, 64);
    // clang-format off
    expectPixels({{150, 150, Green}, {250, 150, White}, {150, 250, Red}, {250, 250, Blue},
                  {400, 100, Green}, {403, 103, Green}, {404, 101, Black}, {401, 104, Black},
                  {399, 101, Black}, {450, 200, Green}, {513, 263, Green}, {514, 230, Black},
                  {480, 264, Black}, {660, 140, "283c78"}, {570, 50, "ffc800"}});
    // clang-format on
    glwindow::screenshot("sprite-placement");
}

// The view is made smaller than the window and the projection shifted by (100, 100), so
// that what culling keeps or drops shows on the window.
TEST_F(SpriteManagerTest, CullingKeepsRectanglesTouchingTheView) {
    auto drawShifted = [](SpriteManager& s, int shift, int x, int y, int size) {
        glPushMatrix();
        glTranslatef(float(shift), float(shift), 0);
        s.draw(0, x, y, size, size);
        glPopMatrix();
    };
    // Before setScreenSize the view is 100000 square.
    drawShifted(*sprites, -99900, 99990, 99990, 10);  // shows at (90, 90)
    drawShifted(*sprites, -99900, 100000, 99990, 10); // would show at (100, 90)
    drawShifted(*sprites, -99900, 99990, 100000, 10); // would show at (90, 100)
    expectPixels({{95, 95, White}, {105, 95, Black}, {95, 105, Black}});

    sprites->setScreenSize(400, 300);
    // x, y, drawn: touching the left, top, right and bottom edges, then just beyond them.
    const std::tuple<int, int, bool> cases[] = {
        {-20, 0, true},   {0, -20, true},   {399, 100, true},  {100, 299, true},
        {-21, 50, false}, {50, -21, false}, {400, 150, false}, {150, 300, false}};
    for (const auto& [x, y, drawn] : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        drawShifted(*sprites, 100, x, y, 20);
        EXPECT_EQ(rgbAt(100 + x + 10, 100 + y + 10), drawn ? White : Black) << x << "," << y;
    }
}

TEST_F(SpriteManagerTest, CentringSentinelPutsTheCornerMidView) {
    sprites->setScreenSize(401, 301);
    sprites->draw(0, SpriteManager::CentreSentinel, SpriteManager::CentreSentinel, 10, 10);
    expectPixels({{200, 150, White}, {209, 159, White}, {199, 150, Black}, {200, 149, Black}});

    // Only both together are the sentinel: alone, -1337 is an ordinary coordinate.
    glClear(GL_COLOR_BUFFER_BIT);
    sprites->draw(0, -1337, 100, 2000, 10); // spans x -1337 to 663
    expectPixels({{0, 105, White}, {662, 105, White}, {663, 105, Black}, {300, 155, Black}});
}

TEST_F(SpriteManagerTest, UnknownIdsLogTwoLinesAndLeaveDrawingIntact) {
    sprites->setScreenSize(800, 600);
    CapturedOutput output;
    sprites->draw(-1, 10, 20, 30, 30);
    sprites->drawRotated(5, 40, 50, 30, 30, 45.0f);
    sprites->draw(5, 900, 20, 30, 30); // culled: silent
    expectPixels({{25, 35, Black}, {55, 65, Black}});
    sprites->draw(0, 10, 20, 30, 30);
    expectPixels({{10, 20, White}, {39, 49, White}, {40, 50, Black}});
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    sprites->clear();
    sprites->draw(0, 70, 80, 30, 30);
    EXPECT_EQ(rgbAt(85, 95), Black);
    EXPECT_EQ(output.out(), "");
    EXPECT_EQ(output.err(), "Requested sprite -1 is out of bounds\n"
                            "FAIL) Requested dead sprite -1 to be drawn at (10,20)\n"
                            "Requested sprite 5 is out of bounds\n"
                            "FAIL) Requested dead sprite 5 to be drawn at (40,50)\n"
                            "Requested sprite 0 is out of bounds\n"
                            "FAIL) Requested dead sprite 0 to be drawn at (70,80)\n");
}

} // namespace
