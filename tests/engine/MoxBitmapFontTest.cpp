// The font's definition reader (on a font whose page did not load: no GL), then drawing.
#include "engine/MoxBitmapFont.h"

#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/PngFile.h"
#include "support/TempDir.h"

#include <algorithm>
#include <array>
#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <new>
#include <regex>
#include <sys/stat.h>

namespace {

const std::string Head = "info\ncommon lineHeight=16 base=13 scaleW=256 scaleH=256 pages=1\n";
const std::string CommonOut = "setting lineHeight\nsetting base\nsetting scaleW\nsetting "
                              "scaleH\nignoring pages for now\n";
const std::string Blank = "WARN) Detected blank line.\n";

// A char line without page whose every value is v.
std::string charLine(int id, int v = 1) {
    std::string line = "char id=" + std::to_string(id);
    for (const char* name : {" x=", " y=", " w=", " h=", " xo=", " yo=", " xa="}) {
        line += name + std::to_string(v);
    }
    return line;
}

// A glyph's values in file order: id x y width height xoffset yoffset xadvance page.
using Values = std::array<int, 9>;
Values same(int id, int v = 1) {
    return {id, v, v, v, v, v, v, v, 0};
}

class FontParser : public ::testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    void TearDown() override {
        CapturedOutput quiet;
        font->~MoxBitmapFont();
    }

    // A fresh font in a zeroed buffer with a guard behind; what reading `text` printed.
    std::pair<std::string, std::string> parse(const std::string& text) {
        CapturedOutput captured;
        if (font != nullptr) {
            font->~MoxBitmapFont();
        }
        std::fill(std::begin(storage), std::end(storage), 0);
        font = new (storage) MoxBitmapFont("/nonexistent/page.png", "/nonexistent/font.fnt");
        captured.stop();
        CapturedOutput reading;
        EXPECT_EQ(font->loadDefinition(dir.write("font.fnt", text).c_str()), 0);
        EXPECT_TRUE(std::all_of(storage + sizeof(MoxBitmapFont), std::end(storage),
                                [](unsigned char b) { return b == 0; }))
            << "written past the glyph table";
        return {reading.out(), reading.err()};
    }

    alignas(MoxBitmapFont) unsigned char storage[sizeof(MoxBitmapFont) + 64 * sizeof(Glyph)];
    MoxBitmapFont* font = nullptr;
    TempDir dir;
};

// Each file is read with LF and with CR LF line ends, to the same result.
TEST_F(FontParser, CharLinesFillTheirSlotsAMalformedLineEndsTheProcess) {
    const std::string kerning = "kerning first=89 second=74 amount=-1";
    const Values a65 = {65, 10, 20, 8, 12, 1, 3, 9, 2};
    const struct {
        std::string body, err;
        std::map<int, Values> slots;
    } cases[] = {
        {"char id=65 x=10 y=20 width=8 height=12 xoffset=1 yoffset=3 xadvance=9 page=2\n" +
             charLine(66) + " page=0 chnl=15\n" + charLine(255, 9) + "\n",
         "FAIL) Too many tokens in this line.\n" + Blank,
         {{65, a65}, {66, same(66)}, {255, same(255, 9)}}},
        {charLine(0) + "\n" + charLine(-5) + "\n" + charLine(256) + "\n" + charLine(70) + "\n" +
             charLine(70, 2) + "\n",
         Blank,
         {{70, same(70, 2)}}},
        // A lone '=' counts towards the nine words, then shifts nothing.
        {"char id=65 x=10 y=20 = width=8 height=12 xoffset=1 yoffset=3 xadvance=9 page=2",
         "",
         {{65, a65}}},
        {charLine(65) + "\n\n" + kerning + "\n" + charLine(80),
         Blank + "FAIL) Line \"" + kerning +
             "\" does not contain enough tokens to be a character ID\n",
         {{65, same(65)}}},
        {charLine(-2) + "\n" + charLine(80) + "\n", "", {}}, // the kerning marker id
        // Values read like atoi but clamped; a word with no name warns and is read.
        {"char id=66 =9999999999 y=abc w=-9999999999 h=5x xo xo= yo=+7 xa=\t3",
         "WARN) Name too short: '' (must be at least 1 character)\n",
         {{66, {66, INT_MAX, 0, INT_MIN, 5, 0, 0, 7, 3}}}},
    };
    for (const auto& c : cases) {
        const std::string crlf = std::regex_replace(Head + c.body, std::regex("\n"), "\r\n");
        for (const std::string& text : {Head + c.body, crlf}) {
            const auto [out, err] = parse(text);
            EXPECT_EQ(out, CommonOut) << text;
            EXPECT_EQ(err, c.err) << text;
            for (int id = 0; id < MoxBitmapFont::GlyphCount; ++id) {
                const Glyph& g = font->glyphs[id];
                const Values got = {g.id,      g.x,       g.y,        g.width, g.height,
                                    g.xoffset, g.yoffset, g.xadvance, g.page};
                EXPECT_EQ(got, c.slots.count(id) ? c.slots.at(id) : Values{}) << text << id;
            }
        }
    }
    EXPECT_EQ(font->getLineHeight(), 16);
    // A malformed line ends the process; a missing file is only reported.
    const std::string wordy = "kerning first=1 second=2 amount=3 a=1 b=2 c=3 d=4 e=5";
    EXPECT_EXIT(
        font->loadDefinition(dir.write("font.fnt", Head + wordy).c_str()),
        ::testing::ExitedWithCode(1),
        ::testing::Eq("FAIL .\\engine\\MoxBitmapFont:212) Line \"" + wordy +
                      "\" does not contain magic word 'char' at start. Not character id.\n"));
    CapturedOutput captured;
    EXPECT_EQ(font->loadDefinition(dir.file("absent.fnt").c_str()), -1);
    EXPECT_EQ(captured.err(), "[" + dir.file("absent.fnt") + "] wasn't found\n");
}

const Rgba Red{255, 0, 0, 255}, Green{0, 255, 0, 255}, Blue{0, 0, 255, 255},
    Yellow{255, 255, 0, 255}, Cyan{0, 255, 255, 255}, White{255, 255, 255, 255};

struct PageGlyph {
    int id, x, y, width, height, xoffset, yoffset, xadvance;
    Rgba colour;
};

// Each glyph's colour is framed in white: a texture rectangle a texel off shows white.
const PageGlyph PageGlyphs[] = {
    {'A', 10, 20, 8, 12, 1, 3, 9, Red},   {'B', 30, 20, 6, 10, 0, 0, 7, Green},
    {'\\', 50, 20, 8, 8, 0, 0, 9, White}, {'\n', 70, 20, 5, 5, 0, 0, 6, Blue},
    {200, 90, 20, 8, 8, 0, 0, 9, Yellow}, {'D', 130, 20, 1, 1, 0, 0, 2, Cyan},
    {'C', 110, 20, 8, 8, 1, 3, 9, White}, // its right half is black (transparent) below
};

struct Quad {
    int left, top, right, bottom;
    Rgba colour;
};
const Quad A{101, 53, 109, 65, Red}; // "A" with the pen at (100, 50)

// The window holds exactly these quads, each wholly its colour, and black elsewhere.
void expectOnly(const std::vector<Quad>& quads, const std::string& what) {
    std::vector<std::uint32_t> want(glwindow::Width * glwindow::Height, 0);
    for (const Quad& q : quads) {
        for (int y = q.top; y < q.bottom; ++y) {
            std::fill_n(want.begin() + (glwindow::Height - 1 - y) * glwindow::Width + q.left,
                        q.right - q.left,
                        std::uint32_t(q.colour.r) << 16 | q.colour.g << 8 | q.colour.b);
        }
    }
    EXPECT_EQ(glwindow::firstDifference(glwindow::frame(), want), "") << what;
}

class FontDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ASSERT_NO_FATAL_FAILURE(glwindow::open());
        PngPicture picture(256, 256, 3);
        std::string text = "info\ncommon lineHeight=20 base=16 scaleW=256 scaleH=256 pages=1\n";
        for (const PageGlyph& g : PageGlyphs) {
            picture.fill(g.x - 1, g.y - 1, g.width + 2, g.height + 2, 255, 255, 255);
            picture.fill(g.x, g.y, g.width, g.height, g.colour.r, g.colour.g, g.colour.b);
            text += "char id=" + std::to_string(g.id);
            for (int v : {g.x, g.y, g.width, g.height, g.xoffset, g.yoffset, g.xadvance, 0}) {
                text += " v=" + std::to_string(v); // the reader goes by position, not by name
            }
            text += "\n";
        }
        picture.fill(114, 20, 4, 8, 0, 0, 0);
        ASSERT_TRUE(writePng(dir.file("page.png"), picture));
        CapturedOutput quiet;
        font = std::make_unique<MoxBitmapFont>(dir.file("page.png").c_str(),
                                               dir.write("font.fnt", text).c_str());
    }
    void TearDown() override {
        CapturedOutput quiet;
        font.reset();
    }

    TempDir dir;
    std::unique_ptr<MoxBitmapFont> font;
};

// Drawn with print ('p'), printRight ('r') or printFormatted("%s") ('f').
TEST_F(FontDrawing, GlyphsLandAtPenPlusOffset) {
    std::vector<Quad> dots; // "D" is one pixel with an advance of 2
    for (int i = 0; i < 255; ++i) {
        dots.push_back({10 + 2 * i, 300, 11 + 2 * i, 301, Cyan});
    }
    const struct {
        char how;
        std::string text;
        int x, y;
        std::vector<Quad> quads;
    } cases[] = {
        {'p', "AA", 100, 50, {A, {110, 53, 118, 65, Red}}},
        {'r', "BA", 100, 50, {{93, 53, 101, 65, Red}, {85, 50, 91, 60, Green}}},
        {'p', "A\\B\\\\B", 100, 50, {A, {100, 70, 106, 80, Green}, {100, 110, 106, 120, Green}}},
        {'p', "A\nB", 100, 50, {A, {109, 50, 114, 55, Blue}, {115, 50, 121, 60, Green}}},
        {'r', "A\\B", 200, 100, {{194, 100, 200, 110, Green}, {193, 123, 201, 135, Red}}},
        {'p', "\xC8", 300, 300, {{300, 300, 308, 308, Yellow}}},
        {'r', "\xC8", 300, 300, {{292, 300, 300, 308, Yellow}}},
        {'p', "A?\177A", 100, 50, {A, {110, 53, 118, 65, Red}}}, // unfilled slots
        {'f', std::string(400, 'D'), 10, 300, dots},             // cut to 255 characters
    };
    for (const auto& c : cases) {
        glwindow::open();
        if (c.how == 'p') {
            font->print(c.text, c.x, c.y);
        } else if (c.how == 'r') {
            font->printRight(c.text, c.x, c.y);
        } else {
            font->printFormatted(c.x, c.y, "%s", c.text.c_str());
        }
        expectOnly(c.quads, c.how + (" " + c.text));
    }
}

// "C" over "A": black texels are transparent; the GL state is left as found.
TEST_F(FontDrawing, BlackIsTransparentAlphaBlendsAndAFontNotLoadedRefusesEveryPrint) {
    font->print("A", 100, 50);
    font->print("C", 100, 50);
    expectOnly({{101, 53, 105, 61, White}, {105, 53, 109, 61, Red}, {101, 61, 109, 65, Red}}, "C");
    glwindow::open();
    font->print("A", 100, 50, 0.5f);
    const Rgba p = glwindow::pixel(104, 58);
    EXPECT_NEAR(p.r, 128, 1);
    EXPECT_EQ(p.g + p.b, 0);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour); // later untinted drawing relies on white
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    font->pages.clear();
    EXPECT_EXIT(font->print("A", 100, 50), ::testing::ExitedWithCode(1),
                ::testing::Eq("Page #0 is gone!\n"));
    // The definition, which would end the process, is skipped; even a usable glyph is refused.
    glwindow::open();
    const std::string absent = dir.file("absent.png");
    CapturedOutput captured;
    MoxBitmapFont unready(absent.c_str(),
                          dir.write("bad.fnt", "info\nnot a common line\n").c_str());
    unready.glyphs['A'] = font->glyphs['A'];
    unready.print("A", 100, 50);
    unready.print("A", 100, 50, 0.5f);
    unready.printRight("A", 100, 50);
    unready.printRight("A", 100, 50, 0.5f);
    unready.printFormatted(100, 50, "%s", "A");
    std::string expected = "FAIL) Image file " + absent +
                           " not found\nFAIL) Bitmap font bitmap file " + absent +
                           " not found or unusable\n";
    for (int i = 0; i < 5; ++i) {
        expected += "FAIL) This font isn't ready to print to. Didn't complete construction\n";
    }
    EXPECT_EQ(captured.err(), expected);
    expectOnly({}, "nothing drawn");
}

// Values of 2147483647 move the pen off the screen for good; wrapping would bring A back at 98.
TEST_F(FontDrawing, DefinitionsOfHugeValuesOrNoFileDoNoHarm) {
    const std::string definition = std::regex_replace(
        "info\ncommon lineHeight=M base=1 scaleW=1 scaleH=1 pages=1\n"
        "char id=65 x=10 y=20 width=8 height=8 xoffset=0 yoffset=0 xadvance=M\n" // red
        "char id=66 x=M y=1 width=M height=M xoffset=M yoffset=M xadvance=1\n",
        std::regex("M"), "2147483647");
    CapturedOutput output;
    MoxBitmapFont font(dir.file("page.png").c_str(), dir.write("huge.fnt", definition).c_str());
    font.print("AAA\\BA", 100, 100);
    font.printRight("BAB\\A", 400, 300);
    EXPECT_GT(glwindow::pixel(103, 104).r, 0x40) << "the first A";
    EXPECT_EQ(glwindow::pixel(98, 104).r, 0);
    mkdir(dir.file("dir.fnt").c_str(), 0755);
    EXPECT_FALSE(MoxBitmapFont(dir.file("page.png").c_str(), dir.file("dir.fnt").c_str()).ready);
}

} // namespace
