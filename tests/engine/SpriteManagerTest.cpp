#include "engine/SpriteManager.h"

#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/Pixels.h"
#include "support/PngFile.h"
#include "support/TempDir.h"

#include <GL/gl.h>
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

// Red top-left, green top-right, blue bottom-left, white bottom-right.
PngPicture corners() {
    PngPicture picture = solid(4, 4, 255, 255, 255);
    picture.fill(0, 0, 2, 2, 255, 0, 0);
    picture.fill(2, 0, 2, 2, 0, 255, 0);
    picture.fill(0, 2, 2, 2, 0, 0, 255);
    return picture;
}

class SpriteManagerTest : public ::testing::Test {
  protected:
    void SetUp() override { glwindow::open(); }

    void add(int number, const PngPicture& picture, bool palette = false) {
        ASSERT_TRUE(writePng(dir.file(std::to_string(number) + ".png"), picture, palette));
    }

    std::unique_ptr<SpriteManager> load() {
        CapturedOutput quiet;
        return std::make_unique<SpriteManager>(dir.path().c_str());
    }

    TempDir dir;
};

// ---- Loading ---------------------------------------------------------------------------

TEST_F(SpriteManagerTest, LoadingStopsAtTheFirstNumberThatDoesNotLoad) {
    // Per file number: p a picture, j junk, . no file; "" is a directory that is not there.
    const std::pair<std::string, int> cases[] = {{"pp.p", 2}, {"pj", 1}, {"", 0}};
    for (const auto& [files, loaded] : cases) {
        const std::string set = dir.file("set" + files);
        if (!files.empty()) {
            std::filesystem::create_directory(set);
        }
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string file = set + "/" + std::to_string(i) + ".png";
            if (files[i] == 'p') {
                ASSERT_TRUE(writePng(file, solid(2, 2, 9, 9, 9)));
            } else if (files[i] == 'j') {
                std::ofstream(file) << "junk";
            }
        }
        CapturedOutput output;
        SpriteManager sprites(set.c_str());
        EXPECT_EQ(output.out(), "Loaded " + std::to_string(loaded) + " sprites\n") << files;
        EXPECT_EQ(output.err(),
                  "Sorry, sprite " + set + "/" + std::to_string(loaded) + ".png is missing\n")
            << files;
        EXPECT_EQ(sprites.count(), loaded);
    }
}

// File names are formed in 200 characters: a longer name counts as missing instead of
// overrunning the buffer.
TEST_F(SpriteManagerTest, NamesLongerThan199CharactersCountAsMissing) {
    // "<dir>/9.png" is 199 characters, "<dir>/10.png" would be 200.
    const std::string longDir = dir.file(std::string(193 - dir.path().size() - 1, 'd'));
    std::filesystem::create_directory(longDir);
    for (int i = 0; i <= 10; ++i) {
        ASSERT_TRUE(writePng(longDir + "/" + std::to_string(i) + ".png", solid(1, 1, 9, 9, 9)));
    }
    for (const std::string& path : {longDir, std::string(5000, 'x')}) {
        CapturedOutput output;
        SpriteManager sprites(path.c_str());
        const bool fits = path == longDir;
        EXPECT_EQ(output.out(), fits ? "Loaded 10 sprites\n" : "Loaded 0 sprites\n");
        EXPECT_EQ(output.err(), "Sorry, sprite " +
                                    (fits ? longDir + "/10.pn" : path.substr(0, 199)) +
                                    " is missing\n");
    }
}

// ---- The key colour --------------------------------------------------------------------

// Only pure magenta turns into transparent black; every other pixel keeps its colour and
// alpha, and a palette without magenta must not key its nearest entry instead.
TEST_F(SpriteManagerTest, OnlyPureMagentaBecomesTransparentBlack) {
    PngPicture rgb = solid(4, 4, 255, 0, 255);
    rgb.set(1, 0, 255, 0, 254);
    rgb.set(2, 0, 254, 0, 255);
    rgb.set(3, 0, 10, 20, 30);
    PngPicture alpha(4, 4, 4);
    alpha.fill(0, 0, 4, 4, 255, 0, 255, 255);
    alpha.set(1, 0, 255, 0, 255, 128); // the key colour half transparent: still the key
    alpha.set(2, 0, 10, 20, 30, 128);
    alpha.set(3, 0, 255, 0, 254, 255);
    alpha.set(0, 1, 40, 50, 60, 0);
    PngPicture noKey = solid(4, 4, 255, 0, 254);
    noKey.set(3, 0, 10, 20, 30);
    add(0, rgb);
    add(1, rgb, true);
    add(2, alpha);
    add(3, alpha, true);
    add(4, noKey, true);
    auto sprites = load();
    ASSERT_EQ(sprites->count(), 5);
    // Texels (0, 0) to (3, 0), then (0, 1), as red, green, blue and alpha bytes.
    const std::vector<std::string> expected[] = {
        {"00000000", "ff00feff", "fe00ffff", "0a141eff", "00000000"},
        {"00000000", "ff00feff", "fe00ffff", "0a141eff", "00000000"},
        {"00000000", "00000000", "0a141e80", "ff00feff", "28323c00"},
        {"00000000", "00000000", "0a141e80", "ff00feff", "28323c00"},
        {"ff00feff", "ff00feff", "ff00feff", "0a141eff", "ff00feff"},
    };
    for (int id = 0; id < 5; ++id) {
        std::uint8_t bytes[4 * 4 * 4];
        glBindTexture(GL_TEXTURE_2D, *sprites->getTexture(id));
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes);
        std::vector<std::string> texels;
        for (int at : {0, 1, 2, 3, 4}) {
            char text[10];
            std::snprintf(text, sizeof text, "%02x%02x%02x%02x", bytes[at * 4], bytes[at * 4 + 1],
                          bytes[at * 4 + 2], bytes[at * 4 + 3]);
            texels.push_back(text);
        }
        EXPECT_EQ(texels, expected[id]) << "sprite " << id;
    }
}

// ---- Placement -------------------------------------------------------------------------

TEST_F(SpriteManagerTest, PictureLandsUprightAndUnmirroredOnItsRectangle) {
    add(0, corners());
    auto sprites = load();
    sprites->setScreenSize(800, 600);
    sprites->draw(0, 100, 50, 200, 120);
    // Quadrant middles carry the pure corner colours; then the edges, inside and outside.
    expectPixels({{150, 80, Red}, {250, 80, Green}, {150, 140, Blue}, {250, 140, White}});
    EXPECT_NE(rgbAt(100, 50), Black);
    EXPECT_NE(rgbAt(299, 169), Black);
    expectPixels({{99, 50, Black}, {100, 49, Black}, {300, 169, Black}, {299, 170, Black}});

    glwindow::open();
    sprites->drawRotated(0, 100, 100, 200, 200, 90.0f); // counter-clockwise about the centre
    expectPixels({{150, 150, Green}, {250, 150, White}, {150, 250, Red}, {250, 250, Blue}});
}

TEST_F(SpriteManagerTest, OddSizesLoseAPixelAndAnySizeStretches) {
    add(0, solid(100, 37, 0, 255, 0));
    auto sprites = load();
    sprites->draw(0, 100, 100, 5, 5);
    sprites->draw(0, 200, 200, 64, 64);
    expectPixels({{100, 100, Green},
                  {103, 103, Green},
                  {104, 101, Black},
                  {101, 104, Black},
                  {99, 101, Black},
                  {200, 200, Green},
                  {263, 263, Green},
                  {264, 230, Black},
                  {230, 264, Black}});
}

// The view is made smaller than the window and the projection shifted by (100, 100), so
// that what culling keeps or drops shows on the window.
TEST_F(SpriteManagerTest, CullingKeepsRectanglesTouchingTheView) {
    add(0, solid(2, 2, 255, 255, 255));
    auto sprites = load();
    sprites->setScreenSize(400, 300);
    // x, y, drawn: touching the left, top, right and bottom edges, then just beyond them.
    const std::tuple<int, int, bool> cases[] = {
        {-20, 0, true},   {0, -20, true},   {399, 100, true},  {100, 299, true},
        {-21, 50, false}, {50, -21, false}, {400, 150, false}, {150, 300, false}};
    for (const auto& [x, y, drawn] : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        glPushMatrix();
        glTranslatef(100, 100, 0);
        sprites->draw(0, x, y, 20, 20);
        glPopMatrix();
        EXPECT_EQ(rgbAt(100 + x + 10, 100 + y + 10), drawn ? White : Black) << x << "," << y;
    }

    // Before setScreenSize the view is 100000 square.
    auto fresh = load();
    glClear(GL_COLOR_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(-99900, -99900, 0);
    fresh->draw(0, 99990, 99990, 10, 10);  // shows at (90, 90)
    fresh->draw(0, 100000, 99990, 10, 10); // would show at (100, 90)
    fresh->draw(0, 99990, 100000, 10, 10); // would show at (90, 100)
    glPopMatrix();
    expectPixels({{95, 95, White}, {105, 95, Black}, {95, 105, Black}});
}

TEST_F(SpriteManagerTest, CentringSentinelPutsTheCornerMidView) {
    add(0, solid(2, 2, 255, 255, 255));
    auto sprites = load();
    sprites->setScreenSize(401, 301);
    sprites->draw(0, SpriteManager::CentreSentinel, SpriteManager::CentreSentinel, 10, 10);
    expectPixels({{200, 150, White}, {209, 159, White}, {199, 150, Black}, {200, 149, Black}});

    // Only both together are the sentinel: alone, -1337 is an ordinary coordinate.
    glClear(GL_COLOR_BUFFER_BIT);
    sprites->draw(0, -1337, 100, 2000, 10); // spans x -1337 to 663
    expectPixels({{0, 105, White}, {662, 105, White}, {663, 105, Black}, {300, 155, Black}});
}

// ---- Unknown ids -----------------------------------------------------------------------

TEST_F(SpriteManagerTest, UnknownIdsLogTwoLinesAndLeaveDrawingIntact) {
    add(0, solid(2, 2, 255, 255, 255));
    auto sprites = load();
    sprites->setScreenSize(800, 600);
    CapturedOutput output;
    sprites->draw(-1, 10, 20, 30, 30);
    sprites->drawRotated(1, 40, 50, 30, 30, 45.0f);
    sprites->draw(5, 900, 20, 30, 30); // culled: silent
    expectPixels({{25, 35, Black}, {55, 65, Black}});
    sprites->draw(0, 10, 20, 30, 30);
    expectPixels({{10, 20, White}, {39, 49, White}, {40, 50, Black}});
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    sprites->clear();
    sprites->draw(0, 70, 80, 30, 30);
    output.stop();
    EXPECT_EQ(output.out(), "");
    EXPECT_EQ(output.err(), "Requested sprite -1 is out of bounds\n"
                            "FAIL) Requested dead sprite -1 to be drawn at (10,20)\n"
                            "Requested sprite 1 is out of bounds\n"
                            "FAIL) Requested dead sprite 1 to be drawn at (40,50)\n"
                            "Requested sprite 0 is out of bounds\n"
                            "FAIL) Requested dead sprite 0 to be drawn at (70,80)\n");
    EXPECT_EQ(rgbAt(85, 95), Black);
}

// ---- A whole scene, kept as a picture for people to look at ------------------------------

TEST_F(SpriteManagerTest, SceneScreenshot) {
    add(0, solid(2, 2, 40, 60, 120));
    add(1, corners());
    PngPicture ring = solid(16, 16, 255, 200, 0);
    ring.fill(4, 4, 8, 8, 255, 0, 255);
    add(2, ring);
    auto sprites = load();
    sprites->setScreenSize(800, 600);
    sprites->draw(0, 0, 0, 800, 600);
    sprites->draw(1, 40, 40, 200, 200);
    sprites->drawRotated(1, 300, 40, 200, 200, 30.0f);
    sprites->draw(2, 560, 40, 200, 200);
    sprites->draw(2, SpriteManager::CentreSentinel, SpriteManager::CentreSentinel, 128, 128);
    for (int x = -64; x < 800 + 128; x += 128) {
        sprites->draw(1, x, 600 - 128, 128, 128);
    }
    EXPECT_EQ(rgbAt(660, 140), "283c78"); // the background shows through the ring's hole
    EXPECT_EQ(rgbAt(570, 50), "ffc800");
    const std::string path = glwindow::screenshot("sprite-scene");
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
}

} // namespace
