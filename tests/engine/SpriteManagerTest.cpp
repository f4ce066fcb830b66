#include "engine/SpriteManager.h"

#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/Pixels.h"
#include "support/PngFile.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <SDL.h>
#include <filesystem>
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

const std::string Black = "000000";
const std::string Red = "ff0000";
const std::string Green = "00ff00";
const std::string Blue = "0000ff";
const std::string White = "ffffff";

PngPicture solid(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    PngPicture picture(width, height, 3);
    picture.fill(0, 0, width, height, r, g, b);
    return picture;
}

// Red top-left, green top-right, blue bottom-left, white bottom-right.
PngPicture corners() {
    PngPicture picture(4, 4, 3);
    picture.fill(0, 0, 2, 2, 255, 0, 0);
    picture.fill(2, 0, 2, 2, 0, 255, 0);
    picture.fill(0, 2, 2, 2, 0, 0, 255);
    picture.fill(2, 2, 2, 2, 255, 255, 255);
    return picture;
}

class SpriteManagerTest : public ::testing::Test {
  protected:
    void SetUp() override { glwindow::open(); }

    void add(int number, const PngPicture& picture, bool palette = false) {
        ASSERT_TRUE(writePng(dir.file(std::to_string(number) + ".png"), picture, palette));
    }

    // Loads the directory without letting its log lines reach the test output.
    std::unique_ptr<SpriteManager> load() {
        CapturedOutput quiet;
        return std::make_unique<SpriteManager>(dir.path().c_str());
    }

    // The texture's first level as RGBA bytes, row by row from the picture's top.
    static std::vector<std::uint8_t> texels(SpriteManager& sprites, int id, int width, int height) {
        std::vector<std::uint8_t> bytes(static_cast<size_t>(width * height * 4), 0xAB);
        glBindTexture(GL_TEXTURE_2D, *sprites.getTexture(id));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        return bytes;
    }

    static std::string texel(const std::vector<std::uint8_t>& bytes, int width, int x, int y) {
        const std::uint8_t* p = &bytes[static_cast<size_t>((y * width + x) * 4)];
        char text[10];
        std::snprintf(text, sizeof text, "%02x%02x%02x%02x", p[0], p[1], p[2], p[3]);
        return text;
    }

    static GLint stackDepth() {
        GLint depth = 0;
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        return depth;
    }

    TempDir dir;
};

// ---- Loading ---------------------------------------------------------------------------

TEST_F(SpriteManagerTest, LoadingStopsAtTheFirstGapInTheNumbers) {
    add(0, solid(2, 2, 255, 0, 0));
    add(1, solid(2, 2, 0, 255, 0));
    add(3, solid(2, 2, 0, 0, 255));
    CapturedOutput output;
    SpriteManager sprites(dir.path().c_str());
    EXPECT_EQ(output.out(), "Loaded 2 sprites\n");
    EXPECT_EQ(output.err(), "Sorry, sprite " + dir.path() + "/2.png is missing\n");
    EXPECT_EQ(sprites.count(), 2);
    EXPECT_EQ(sprites.viewWidth, 100000);
    EXPECT_EQ(sprites.viewHeight, 100000);
    EXPECT_NE(*sprites.getTexture(0), *sprites.getTexture(1));
}

TEST_F(SpriteManagerTest, EmptyOrMissingDirectoryLoadsNothingAndDrawsNothing) {
    for (const std::string& path : {dir.path(), dir.file("absent")}) {
        CapturedOutput output;
        SpriteManager sprites(path.c_str());
        sprites.draw(0, 10, 10, 20, 20);
        EXPECT_EQ(output.out(), "Loaded 0 sprites\n");
        EXPECT_EQ(output.err(), "Sorry, sprite " + path +
                                    "/0.png is missing\n"
                                    "Requested sprite 0 is out of bounds\n"
                                    "FAIL) Requested dead sprite 0 to be drawn at (10,10)\n");
        EXPECT_EQ(sprites.count(), 0);
    }
    EXPECT_EQ(rgbAt(15, 15), Black);
}

TEST_F(SpriteManagerTest, UndecodableFileEndsTheSet) {
    add(0, solid(2, 2, 255, 0, 0));
    dir.write("1.png", "not a picture");
    CapturedOutput output;
    SpriteManager sprites(dir.path().c_str());
    EXPECT_EQ(output.out(), "Loaded 1 sprites\n");
    EXPECT_EQ(output.err(), "Sorry, sprite " + dir.path() + "/1.png is missing\n");
}

// File names are formed in 200 characters: a longer name counts as missing instead of
// overrunning the buffer.
TEST_F(SpriteManagerTest, NamesLongerThan199CharactersCountAsMissing) {
    // "<dir>/9.png" is 199 characters, "<dir>/10.png" would be 200.
    const std::string longDir = dir.file(std::string(193 - dir.path().size() - 1, 'd'));
    ASSERT_EQ(longDir.size(), 193u);
    std::filesystem::create_directory(longDir);
    for (int i = 0; i <= 10; ++i) {
        ASSERT_TRUE(writePng(longDir + "/" + std::to_string(i) + ".png", solid(1, 1, 9, 9, 9)));
    }
    {
        CapturedOutput output;
        SpriteManager sprites(longDir.c_str());
        EXPECT_EQ(output.out(), "Loaded 10 sprites\n");
        EXPECT_EQ(output.err(), "Sorry, sprite " + longDir + "/10.pn is missing\n");
        EXPECT_EQ(sprites.count(), 10);
    }
    const std::string hugeDir(5000, 'x');
    CapturedOutput output;
    SpriteManager sprites(hugeDir.c_str());
    EXPECT_EQ(output.out(), "Loaded 0 sprites\n");
    EXPECT_EQ(output.err(), "Sorry, sprite " + hugeDir.substr(0, 199) + " is missing\n");
}

// ---- The key colour --------------------------------------------------------------------

TEST_F(SpriteManagerTest, MagentaBecomesTransparentBlackInPicturesWithoutAlpha) {
    PngPicture picture(4, 4, 3);
    picture.fill(0, 0, 4, 4, 255, 0, 255);
    picture.set(1, 0, 255, 0, 254);
    picture.set(2, 0, 254, 0, 255);
    picture.set(3, 0, 10, 20, 30);
    add(0, picture);
    add(1, picture, true);
    // A BMP goes through the same decoder.
    SDL_Surface* bmp = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    ASSERT_NE(bmp, nullptr);
    SDL_FillRect(bmp, nullptr, SDL_MapRGB(bmp->format, 255, 0, 255));
    SDL_Rect one{1, 0, 1, 1};
    SDL_FillRect(bmp, &one, SDL_MapRGB(bmp->format, 255, 0, 254));
    ASSERT_EQ(SDL_SaveBMP(bmp, dir.file("picture.bmp").c_str()), 0);
    SDL_FreeSurface(bmp);

    auto sprites = load();
    ASSERT_EQ(sprites->count(), 2);
    ASSERT_EQ(sprites->loadTexture(dir.file("picture.bmp").c_str(), 255, 0, 255), 2);
    for (int id = 0; id < 3; ++id) {
        const auto bytes = texels(*sprites, id, 4, 4);
        EXPECT_EQ(texel(bytes, 4, 0, 0), "00000000") << "id " << id;
        EXPECT_EQ(texel(bytes, 4, 3, 3), "00000000") << "id " << id;
        EXPECT_EQ(texel(bytes, 4, 1, 0), "ff00feff") << "id " << id;
        if (id < 2) {
            EXPECT_EQ(texel(bytes, 4, 2, 0), "fe00ffff") << "id " << id;
            EXPECT_EQ(texel(bytes, 4, 3, 0), "0a141eff") << "id " << id;
        }
    }
}

// A palette lookup would pick the nearest colour when magenta is absent; no other colour
// may turn transparent in its place.
TEST_F(SpriteManagerTest, PalettePictureWithoutMagentaStaysOpaque) {
    PngPicture picture(4, 4, 3);
    picture.fill(0, 0, 4, 4, 255, 0, 254);
    picture.set(3, 3, 10, 20, 30);
    add(0, picture, true);
    auto sprites = load();
    ASSERT_EQ(sprites->count(), 1);
    const auto bytes = texels(*sprites, 0, 4, 4);
    EXPECT_EQ(texel(bytes, 4, 0, 0), "ff00feff");
    EXPECT_EQ(texel(bytes, 4, 3, 3), "0a141eff");
}

TEST_F(SpriteManagerTest, PicturesWithAlphaKeepItExceptOnMagenta) {
    PngPicture picture(4, 4, 4);
    picture.fill(0, 0, 4, 4, 255, 0, 255, 255);
    picture.set(1, 0, 255, 0, 255, 128); // key colour, half transparent: still the key
    picture.set(2, 0, 10, 20, 30, 128);
    picture.set(3, 0, 255, 0, 254, 255);
    picture.set(0, 1, 40, 50, 60, 0);
    add(0, picture);
    add(1, picture, true);
    auto sprites = load();
    ASSERT_EQ(sprites->count(), 2);
    for (int id = 0; id < 2; ++id) {
        const auto bytes = texels(*sprites, id, 4, 4);
        EXPECT_EQ(texel(bytes, 4, 0, 0), "00000000") << "id " << id;
        EXPECT_EQ(texel(bytes, 4, 1, 0), "00000000") << "id " << id;
        EXPECT_EQ(texel(bytes, 4, 2, 0), "0a141e80") << "id " << id;
        EXPECT_EQ(texel(bytes, 4, 3, 0), "ff00feff") << "id " << id;
        EXPECT_EQ(texel(bytes, 4, 0, 1).substr(6), "00") << "id " << id;
    }
}

TEST_F(SpriteManagerTest, MagentaShowsWhatIsBehind) {
    PngPicture picture(4, 4, 3);
    picture.fill(0, 0, 2, 4, 255, 0, 255);
    picture.fill(2, 0, 2, 4, 255, 0, 254);
    add(0, solid(2, 2, 255, 255, 255));
    add(1, picture);
    auto sprites = load();
    sprites->draw(0, 0, 0, 400, 400);
    sprites->draw(1, 0, 0, 400, 400);
    // Sampled between two texels of the same kind, away from filtering across the halves.
    EXPECT_EQ(rgbAt(100, 200), White);
    EXPECT_EQ(rgbAt(300, 200), "ff00fe");
}

// ---- Placement -------------------------------------------------------------------------

TEST_F(SpriteManagerTest, PictureLandsUprightAndUnmirroredOnItsRectangle) {
    add(0, corners());
    auto sprites = load();
    sprites->setScreenSize(800, 600);
    sprites->draw(0, 100, 50, 200, 120);
    // Quadrant middles carry the pure corner colours.
    expectPixels({{150, 80, Red}, {250, 80, Green}, {150, 140, Blue}, {250, 140, White}});
    // The rectangle's edges, from inside and outside.
    EXPECT_NE(rgbAt(100, 50), Black);
    EXPECT_NE(rgbAt(299, 169), Black);
    expectPixels({{99, 50, Black}, {100, 49, Black}, {300, 169, Black}, {299, 170, Black}});
}

TEST_F(SpriteManagerTest, PositiveAngleTurnsCounterClockwiseAboutTheCentre) {
    add(0, corners());
    auto sprites = load();
    sprites->drawRotated(0, 100, 100, 200, 200, 90.0f);
    expectPixels({{150, 150, Green}, {250, 150, White}, {150, 250, Red}, {250, 250, Blue}});
}

TEST_F(SpriteManagerTest, OddSizesLoseAPixelAndAnySizeStretches) {
    add(0, solid(100, 37, 0, 255, 0));
    auto sprites = load();
    sprites->draw(0, 100, 100, 5, 5);
    expectPixels({{100, 100, Green},
                  {103, 103, Green},
                  {104, 101, Black},
                  {101, 104, Black},
                  {99, 101, Black}});

    sprites->draw(0, 200, 200, 64, 64);
    expectPixels({{200, 200, Green}, {263, 263, Green}, {264, 230, Black}, {230, 264, Black}});
}

// The view is made smaller than the window and the projection shifted by (100, 100), so
// that what culling keeps or drops shows on the window.
TEST_F(SpriteManagerTest, CullingKeepsRectanglesTouchingTheView) {
    add(0, solid(2, 2, 255, 255, 255));
    auto sprites = load();
    sprites->setScreenSize(400, 300);
    struct Case {
        int x, y;
        bool drawn;
        const char* what;
    };
    const Case cases[] = {
        {-20, 0, true, "ends at the view's left edge"},
        {0, -20, true, "ends at the top edge"},
        {399, 100, true, "last column of the view"},
        {100, 299, true, "last row of the view"},
        {-21, 50, false, "wholly left of the view"},
        {50, -21, false, "wholly above the view"},
        {400, 150, false, "at viewWidth"},
        {150, 300, false, "at viewHeight"},
    };
    for (const Case& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        glPushMatrix();
        glTranslatef(100, 100, 0);
        sprites->draw(0, c.x, c.y, 20, 20);
        glPopMatrix();
        EXPECT_EQ(rgbAt(100 + c.x + 10, 100 + c.y + 10), c.drawn ? White : Black) << c.what;
    }
}

TEST_F(SpriteManagerTest, ViewIsHundredThousandUntilSetScreenSize) {
    add(0, solid(2, 2, 255, 255, 255));
    auto sprites = load();
    EXPECT_EQ(sprites->viewWidth, 100000);
    EXPECT_EQ(sprites->viewHeight, 100000);
    glPushMatrix();
    glTranslatef(-99900, -99900, 0);
    sprites->draw(0, 99990, 99990, 10, 10);  // shows at (90, 90)
    sprites->draw(0, 100000, 99990, 10, 10); // would show at (100, 90)
    sprites->draw(0, 99990, 100000, 10, 10); // would show at (90, 100)
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
    output.stop();
    EXPECT_EQ(output.out(), "");
    EXPECT_EQ(output.err(), "Requested sprite -1 is out of bounds\n"
                            "FAIL) Requested dead sprite -1 to be drawn at (10,20)\n"
                            "Requested sprite 1 is out of bounds\n"
                            "FAIL) Requested dead sprite 1 to be drawn at (40,50)\n");
    EXPECT_EQ(rgbAt(25, 35), Black);
    EXPECT_EQ(rgbAt(55, 65), Black);
    EXPECT_EQ(stackDepth(), 1);

    sprites->draw(0, 10, 20, 30, 30);
    expectPixels({{10, 20, White}, {39, 49, White}, {40, 50, Black}});
    EXPECT_EQ(stackDepth(), 1);
}

TEST_F(SpriteManagerTest, ClearForgetsEveryTexture) {
    add(0, solid(2, 2, 255, 255, 255));
    add(1, solid(2, 2, 255, 255, 255));
    auto sprites = load();
    ASSERT_EQ(sprites->count(), 2);
    sprites->clear();
    EXPECT_EQ(sprites->count(), 0);
    CapturedOutput output;
    EXPECT_EQ(sprites->getTexture(0), nullptr);
    EXPECT_EQ(output.err(), "Requested sprite 0 is out of bounds\n");
}

// ---- A whole scene, kept as a picture for people to look at ------------------------------

TEST_F(SpriteManagerTest, SceneScreenshot) {
    add(0, solid(2, 2, 40, 60, 120));
    add(1, corners());
    PngPicture ring(16, 16, 3);
    ring.fill(0, 0, 16, 16, 255, 200, 0);
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
    EXPECT_EQ(rgbAt(660, 140), "283c78"); // background through the ring's hole
    EXPECT_EQ(rgbAt(570, 50), "ffc800");
    const std::string path = glwindow::screenshot("sprite-scene");
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
}

} // namespace
