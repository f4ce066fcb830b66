// Loading the font page and drawing text, checked against real pixels of the test window.
#include "engine/MoxBitmapFont.h"

#include "engine/Clock.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const Rgba Black{0, 0, 0, 255};
const Rgba Red{255, 0, 0, 255};
const Rgba Green{0, 255, 0, 255};
const Rgba Blue{0, 0, 255, 255};
const Rgba Yellow{255, 255, 0, 255};
const Rgba Cyan{0, 255, 255, 255};
const Rgba White{255, 255, 255, 255};

std::string describe(const Rgba& c) {
    return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + "," +
           std::to_string(c.a) + ")";
}

struct PageGlyph {
    int id, x, y, width, height, xoffset, yoffset, xadvance;
    Rgba colour;
};

// Each glyph's rectangle has its own colour inside a white frame one texel wide, so a
// texture rectangle that is off by a texel shows white at the quad's edge.
const PageGlyph PageGlyphs[] = {
    {'A', 10, 20, 8, 12, 1, 3, 9, Red},
    {'B', 30, 20, 6, 10, 0, 0, 7, Green},
    {'\\', 50, 20, 8, 8, 0, 0, 9, White},
    {'\n', 70, 20, 5, 5, 0, 0, 6, Blue},
    {200, 90, 20, 8, 8, 0, 0, 9, Yellow},
    {'D', 130, 20, 1, 1, 0, 0, 2, Cyan},
    // White left half, black (transparent) right half.
    {'C', 110, 20, 8, 8, 1, 3, 9, White},
};

void fill(SDL_Surface* s, int x, int y, int w, int h, Rgba c) {
    SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
               static_cast<Uint16>(h)};
    SDL_FillRect(s, &r, SDL_MapRGB(s->format, c.r, c.g, c.b));
}

// Writes a 256 x 256 BMP page with the glyphs above on black; returns its path.
std::string writePage(const TempDir& dir) {
    SDL_Surface* page =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 256, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    for (const PageGlyph& g : PageGlyphs) {
        fill(page, g.x - 1, g.y - 1, g.width + 2, g.height + 2, White);
        fill(page, g.x, g.y, g.width, g.height, g.colour);
    }
    fill(page, 114, 20, 4, 8, Black);
    const std::string path = dir.file("page.bmp");
    SDL_SaveBMP(page, path.c_str());
    SDL_FreeSurface(page);
    return path;
}

std::string definitionText() {
    std::string text = "info face=\"Test\" size=16\n"
                       "common lineHeight=20 base=16 scaleW=256 scaleH=256 pages=1\n";
    for (const PageGlyph& g : PageGlyphs) {
        text += "char id=" + std::to_string(g.id) + " x=" + std::to_string(g.x) +
                " y=" + std::to_string(g.y) + " width=" + std::to_string(g.width) +
                " height=" + std::to_string(g.height) + " xoffset=" + std::to_string(g.xoffset) +
                " yoffset=" + std::to_string(g.yoffset) +
                " xadvance=" + std::to_string(g.xadvance) + " page=0\n";
    }
    return text;
}

std::uint32_t fakeTicks = 0;
std::uint32_t steppingClock() {
    fakeTicks += 7;
    return fakeTicks;
}

// The window's pixels in [left, right) x [top, bottom), row by row from the top.
std::vector<Rgba> readRect(int left, int top, int right, int bottom) {
    const int w = right - left;
    const int h = bottom - top;
    std::vector<Rgba> bottomUp(static_cast<std::size_t>(w * h));
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(left, glwindow::Height - bottom, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<Rgba> rows;
    for (int row = h - 1; row >= 0; --row) {
        rows.insert(rows.end(), bottomUp.begin() + row * w, bottomUp.begin() + (row + 1) * w);
    }
    return rows;
}

// Every pixel of the rectangle [left, right) x [top, bottom) is `colour`.
::testing::AssertionResult filled(int left, int top, int right, int bottom, Rgba colour) {
    const std::vector<Rgba> pixels = readRect(left, top, right, bottom);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (!(pixels[i] == colour)) {
            const int w = right - left;
            return ::testing::AssertionFailure()
                   << "pixel (" << left + static_cast<int>(i) % w << ","
                   << top + static_cast<int>(i) / w << ") is " << describe(pixels[i]) << ", not "
                   << describe(colour);
        }
    }
    return ::testing::AssertionSuccess();
}

// How many pixels of the rectangle are `colour`.
int countOf(int left, int top, int right, int bottom, Rgba colour) {
    int n = 0;
    for (const Rgba& p : readRect(left, top, right, bottom)) {
        n += p == colour ? 1 : 0;
    }
    return n;
}

// The rectangle holds `colour` and the one-pixel ring around it is black.
::testing::AssertionResult quadAt(int left, int top, int right, int bottom, Rgba colour) {
    auto inside = filled(left, top, right, bottom, colour);
    if (!inside) {
        return inside;
    }
    for (auto ring : {filled(left - 1, top - 1, right + 1, top, Black),
                      filled(left - 1, bottom, right + 1, bottom + 1, Black),
                      filled(left - 1, top, left, bottom, Black),
                      filled(right, top, right + 1, bottom, Black)}) {
        if (!ring) {
            return ring;
        }
    }
    return ::testing::AssertionSuccess();
}

const std::string Refusal =
    "FAIL) This font isn't ready to print to. Didn't complete construction\n";

class FontDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ASSERT_NO_FATAL_FAILURE(glwindow::open());
        pagePath = writePage(dir);
        fontPath = dir.write("font.fnt", definitionText());
        CapturedOutput quiet;
        font = std::make_unique<MoxBitmapFont>(pagePath.c_str(), fontPath.c_str());
    }
    void TearDown() override {
        CapturedOutput quiet;
        font.reset();
        setTickSource(nullptr);
    }

    TempDir dir;
    std::string pagePath;
    std::string fontPath;
    std::unique_ptr<MoxBitmapFont> font;
};

TEST_F(FontDrawing, ConstructionLogsEachStepAndTheElapsedTime) {
    font.reset();
    fakeTicks = 100;
    setTickSource(steppingClock);
    CapturedOutput captured;
    font = std::make_unique<MoxBitmapFont>(pagePath.c_str(), fontPath.c_str());
    font.reset();
    EXPECT_EQ(captured.out(), "INFO) Initializing bitmap font load (tga:" + pagePath +
                                  " fnt:" + fontPath +
                                  ")\nsetting lineHeight\nsetting base\nsetting scaleW\n"
                                  "setting scaleH\nignoring pages for now\n"
                                  "PASS) Startup sequence completed in 7 ms using " +
                                  pagePath + ", " + fontPath +
                                  "\nINFO) Emptying bitmap font\n"
                                  "PASS) Bitmap font emptied in 7 ms\n");
    EXPECT_EQ(captured.err(), "WARN) Detected blank line.\n");
}

TEST_F(FontDrawing, ReadyFontHoldsOnePageAndTheGlyphs) {
    EXPECT_TRUE(font->ready);
    ASSERT_EQ(font->pages.size(), 1u);
    EXPECT_EQ(glIsTexture(*font->pages[0]), GL_TRUE);
    EXPECT_EQ(font->getLineHeight(), 20);
    EXPECT_EQ(font->glyphs['A'].xadvance, 9);
    EXPECT_EQ(font->glyphs[200].width, 8);
    const std::uint8_t white[3] = {255, 255, 255};
    EXPECT_EQ(0, std::memcmp(font->colour, white, 3));
}

TEST_F(FontDrawing, MissingOrUndecodableImageSkipsTheDefinition) {
    // The definition would end the process if it were read.
    const std::string broken = dir.write("broken.fnt", "info\nnot a common line\n");
    for (const std::string& image :
         {dir.file("missing.png"), dir.write("junk.png", "this is no picture")}) {
        CapturedOutput captured;
        MoxBitmapFont unready(image.c_str(), broken.c_str());
        EXPECT_FALSE(unready.ready);
        EXPECT_TRUE(unready.pages.empty());
        EXPECT_EQ(captured.err(), "FAIL) Image file " + image +
                                      " not found\nFAIL) Bitmap font bitmap file " + image +
                                      " not found or unusable\n");
    }
}

TEST_F(FontDrawing, MissingDefinitionKeepsTheTextureButRefusesToPrint) {
    const std::string missing = dir.file("missing.fnt");
    CapturedOutput captured;
    auto unready = std::make_unique<MoxBitmapFont>(pagePath.c_str(), missing.c_str());
    EXPECT_FALSE(unready->ready);
    ASSERT_EQ(unready->pages.size(), 1u);
    EXPECT_EQ(glIsTexture(*unready->pages[0]), GL_TRUE);

    // Even with a usable glyph in place nothing is drawn.
    unready->glyphs['A'] = font->glyphs['A'];
    unready->print("A", 100, 50);
    unready->print("A", 100, 50, 0.5f);
    unready->printRight("A", 100, 50);
    unready->printRight("A", 100, 50, 0.5f);
    unready->printFormatted(100, 50, "%s", "A");
    unready.reset();
    EXPECT_EQ(captured.err(), "[" + missing + "] wasn't found\nFAIL) Bitmap font definition file " +
                                  missing + " not found or unusable\n" + Refusal + Refusal +
                                  Refusal + Refusal + Refusal);
    EXPECT_NE(captured.out().find("INFO) Emptying bitmap font\nPASS) Bitmap font emptied in "),
              std::string::npos);
    EXPECT_TRUE(filled(90, 40, 120, 80, Black));
}

TEST_F(FontDrawing, PrintDrawsTheGlyphRectangleAtPenPlusOffset) {
    font->print("A", 100, 50);
    EXPECT_TRUE(quadAt(101, 53, 109, 65, Red));
    // The next glyph starts at pen x 109.
    glwindow::open();
    font->print("AA", 100, 50);
    EXPECT_TRUE(quadAt(101, 53, 109, 65, Red));
    EXPECT_TRUE(quadAt(110, 53, 118, 65, Red));
}

TEST_F(FontDrawing, PrintRightEndsTheTextAtX) {
    font->printRight("A", 100, 50);
    EXPECT_TRUE(quadAt(93, 53, 101, 65, Red));
    glwindow::open();
    font->printRight("BA", 100, 50, 1.0f);
    EXPECT_TRUE(quadAt(93, 53, 101, 65, Red));
    EXPECT_TRUE(quadAt(85, 50, 91, 60, Green));
}

TEST_F(FontDrawing, BackslashBreaksTheLineAndLineFeedIsAGlyph) {
    font->print("A\\B\\\\B\\", 100, 50);
    EXPECT_TRUE(quadAt(101, 53, 109, 65, Red));
    EXPECT_TRUE(quadAt(100, 70, 106, 80, Green));
    EXPECT_TRUE(quadAt(100, 110, 106, 120, Green));
    EXPECT_EQ(countOf(0, 0, 800, 600, White), 0); // no backslash glyph anywhere
    EXPECT_EQ(countOf(0, 0, 800, 600, Red) + countOf(0, 0, 800, 600, Green), 8 * 12 + 2 * 6 * 10);

    glwindow::open();
    font->print("A\nB", 100, 50);
    EXPECT_TRUE(filled(101, 53, 109, 65, Red));
    EXPECT_TRUE(filled(109, 50, 114, 55, Blue)); // glyph 10
    EXPECT_TRUE(quadAt(115, 50, 121, 60, Green));
}

TEST_F(FontDrawing, PrintRightPutsTheLastSegmentOnTheFirstLine) {
    font->printRight("A\\B", 200, 100);
    EXPECT_TRUE(quadAt(194, 100, 200, 110, Green));
    EXPECT_TRUE(quadAt(193, 123, 201, 135, Red));
}

TEST_F(FontDrawing, HighBytesUseTheirOwnSlots) {
    font->print("\xC8", 300, 300);
    EXPECT_TRUE(quadAt(300, 300, 308, 308, Yellow));
    glwindow::open();
    font->printRight("\xC8", 300, 300);
    EXPECT_TRUE(quadAt(292, 300, 300, 308, Yellow));
}

TEST_F(FontDrawing, UnfilledSlotsDrawNothingAndTakeNoRoom) {
    font->print("A?\x7F\xFF"
                "A",
                100, 50);
    EXPECT_TRUE(quadAt(101, 53, 109, 65, Red));
    EXPECT_TRUE(quadAt(110, 53, 118, 65, Red));
    EXPECT_TRUE(filled(118, 40, 160, 80, Black));
}

TEST_F(FontDrawing, BlackTexelsAreTransparent) {
    font->print("A", 100, 50);
    font->print("C", 100, 50);
    EXPECT_TRUE(filled(101, 53, 105, 61, White));
    EXPECT_TRUE(filled(105, 53, 109, 61, Red));
    EXPECT_TRUE(filled(101, 61, 109, 65, Red));
}

TEST_F(FontDrawing, HalfAlphaBlendsAndLeavesTheColourOpaqueWhite) {
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    font->print("A", 100, 50, 0.5f);
    const Rgba p = glwindow::pixel(104, 58);
    EXPECT_NEAR(p.r, 128, 1);
    EXPECT_EQ(p.g, 0);
    EXPECT_EQ(p.b, 0);
    GLfloat current[4];
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(current[0], 1.0f);
    EXPECT_EQ(current[1], 1.0f);
    EXPECT_EQ(current[2], 1.0f);
    EXPECT_EQ(current[3], 1.0f);
    GLint after = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &after);
    EXPECT_EQ(after, depth);
}

TEST_F(FontDrawing, EmptyTextTouchesNothing) {
    glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
    CapturedOutput captured;
    font->print("", 100, 50);
    font->printRight("", 100, 50);
    font->printFormatted(100, 50, "%s", "");
    GLfloat current[4];
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(current[0], 0.25f);
    EXPECT_EQ(current[3], 0.5f);
    EXPECT_EQ(captured.out() + captured.err(), "");
    EXPECT_TRUE(filled(0, 0, 800, 600, Black));
}

TEST_F(FontDrawing, PrintFormattedFormatsAndCutsAt255Characters) {
    font->printFormatted(100, 50, "%c%d", 'A', 0);
    EXPECT_TRUE(quadAt(101, 53, 109, 65, Red)); // '0' has no glyph

    glwindow::open();
    const std::string longText(400, 'D'); // glyph D: one cyan pixel, advance 2
    font->printFormatted(10, 300, "%s", longText.c_str());
    EXPECT_EQ(glwindow::pixel(10, 300), Cyan);
    EXPECT_EQ(glwindow::pixel(10 + 254 * 2, 300), Cyan);
    EXPECT_TRUE(filled(10 + 255 * 2, 300, 800, 301, Black));
}

TEST_F(FontDrawing, DrawingWithoutAPageEndsTheProcess) {
    font->pages.clear();
    EXPECT_EXIT(font->print("A", 100, 50), ::testing::ExitedWithCode(1), "^Page #0 is gone!\n$");
}

// A real generated page with its definition cut down to the lines this reader takes.
TEST_F(FontDrawing, RealFontPageDrawsText) {
    const std::string real = REALDATA_DIR "/fnt/bmfont_rs";
    if (!std::filesystem::exists(real)) {
        GTEST_SKIP() << "real test files not found at " << real;
    }
    std::ifstream in(real + "/anton_latin.fnt");
    std::string line;
    std::string kept;
    std::string expectedErr;
    // Five words past "common lineHeight base scaleW scaleH pages", one (chnl) per char line.
    for (int i = 0; i < 5; ++i) {
        expectedErr += "FAIL) Too many tokens in this line.\n";
    }
    while (std::getline(in, line)) {
        if (line.rfind("char ", 0) == 0) {
            expectedErr += "FAIL) Too many tokens in this line.\n";
        }
        if (line.rfind("page ", 0) != 0 && line.rfind("chars ", 0) != 0 &&
            line.rfind("kernings ", 0) != 0) {
            kept += line + "\n"; // keeps the file's CR LF ends
        }
    }
    const std::string definition = dir.write("anton.fnt", kept);
    const std::string page = real + "/anton_latin_0.png";
    CapturedOutput captured;
    MoxBitmapFont anton(page.c_str(), definition.c_str());
    captured.stop();
    ASSERT_TRUE(anton.ready) << captured.err();
    EXPECT_EQ(anton.getLineHeight(), 65);
    EXPECT_EQ(captured.err(),
              expectedErr +
                  "FAIL) Line \"kerning first=89  second=74  amount=-1  \" does not contain enough "
                  "tokens to be a character ID\n");

    anton.print("HI", 100, 100);
    int lit = 0;
    for (int y = 100; y < 165; ++y) {
        for (int x = 100; x < 160; ++x) {
            lit += glwindow::pixel(x, y).r > 128 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 200);
    EXPECT_TRUE(filled(0, 0, 800, 99, Black));
    glwindow::screenshot("real_font_page");
}

} // namespace
