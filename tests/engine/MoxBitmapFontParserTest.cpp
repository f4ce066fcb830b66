// The font definition reader, driven through a font whose page did not load, so no GL
// context is needed.
#include "engine/MoxBitmapFont.h"

#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <new>
#include <vector>

namespace {

const std::string Header = "info face=\"Test\" size=16\n";
const std::string Common = "common lineHeight=16 base=13 scaleW=256 scaleH=256 pages=1\n";
const std::string CommonOut = "setting lineHeight\nsetting base\nsetting scaleW\nsetting "
                              "scaleH\nignoring pages for now\n";
const std::string Blank = "WARN) Detected blank line.\n";
const std::string TooMany = "FAIL) Too many tokens in this line.\n";

std::string notEnoughForChar(const std::string& line) {
    return "FAIL) Line \"" + line + "\" does not contain enough tokens to be a character ID\n";
}

// A POSIX regular expression matching exactly `text` as the whole stream.
std::string exactly(const std::string& text) {
    std::string pattern = "^";
    for (char c : text) {
        if (std::strchr(".[]{}()*+?^$|\\", c) != nullptr) {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern + "$";
}

struct Parsed {
    int result;
    std::string out;
    std::string err;
};

class FontParser : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        freshFont();
    }
    void TearDown() override {
        CapturedOutput quiet;
        font.reset();
    }

    void freshFont() {
        CapturedOutput quiet;
        font.reset();
        font = std::make_unique<MoxBitmapFont>("/nonexistent/page.png", "/nonexistent/font.fnt");
    }

    std::string write(const std::string& text) { return dir.write("font.fnt", text); }

    Parsed parse(const std::string& text) {
        const std::string path = write(text);
        CapturedOutput captured;
        const int result = font->loadDefinition(path.c_str());
        return {result, captured.out(), captured.err()};
    }

    // Every slot except `filled` is all zero.
    void expectOnlySlots(std::initializer_list<int> filled) {
        for (int id = 0; id < MoxBitmapFont::GlyphCount; ++id) {
            if (std::find(filled.begin(), filled.end(), id) != filled.end()) {
                continue;
            }
            const Glyph& g = font->glyphs[id];
            EXPECT_EQ(0, g.x | g.y | g.width | g.height | g.xadvance | g.id | g.page | g.xoffset |
                             g.yoffset)
                << "slot " << id;
        }
    }

    TempDir dir;
    std::unique_ptr<MoxBitmapFont> font;
};

void expectGlyph(const Glyph& g, std::initializer_list<int> fields) {
    // x, y, width, height, xadvance, id, page, xoffset, yoffset
    const int actual[] = {g.x,  g.y,    g.width,   g.height, g.xadvance,
                          g.id, g.page, g.xoffset, g.yoffset};
    EXPECT_TRUE(std::equal(fields.begin(), fields.end(), actual))
        << "x " << g.x << " y " << g.y << " w " << g.width << " h " << g.height << " adv "
        << g.xadvance << " id " << g.id << " page " << g.page << " xoff " << g.xoffset << " yoff "
        << g.yoffset;
}

TEST(FontFieldValue, ReadsTheTextAfterTheFirstEqualsLikeAtoi) {
    struct Case {
        const char* word;
        int value;
        bool warns;
    };
    const Case cases[] = {
        {"x=12", 12, false},
        {"x=12abc", 12, false},
        {"x=abc", 0, false},
        {"x=-3", -3, false},
        {"x=+7", 7, false},
        {"x= 5", 5, false},
        {"x=\t5", 5, false},
        {"x=5\r\n", 5, false},
        {"a=b=3", 0, false},
        {"=4", 4, true},
        {"=", 0, true},
        {"x", 0, false},
        {"x=", 0, false},
        {"", -1, false},
        {" \r\n", -1, false},
        {"x=99999999999", INT_MAX, false},
        {"x=-99999999999", INT_MIN, false},
    };
    for (const Case& c : cases) {
        CapturedOutput captured;
        EXPECT_EQ(parseFieldValue(c.word), c.value) << "'" << c.word << "'";
        EXPECT_EQ(captured.out(), "");
        EXPECT_EQ(captured.err(),
                  c.warns ? "WARN) Name too short: '' (must be at least 1 character)\n" : "")
            << "'" << c.word << "'";
    }
}

TEST_F(FontParser, CommonLineOfSixWordsSetsFourValues) {
    const Parsed p = parse(Header + "common lineHeight=16 base=13 scaleW=256 scaleH=128 pages=1");
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.out, CommonOut);
    EXPECT_EQ(p.err, "");
    EXPECT_EQ(font->lineHeight, 16);
    EXPECT_EQ(font->base, 13);
    EXPECT_EQ(font->scaleW, 256);
    EXPECT_EQ(font->scaleH, 128);
    EXPECT_EQ(font->getLineHeight(), 16);
    expectOnlySlots({});
}

TEST_F(FontParser, CommonValuesAreTakenByPositionAndExtraWordsAreReported) {
    const Parsed p = parse(Header + "common base=20 lineHeight=7 scaleH=64 scaleW=32 pages=2 "
                                    "packed=0 = x\n");
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.out, CommonOut);
    EXPECT_EQ(p.err, TooMany + TooMany + TooMany + Blank);
    EXPECT_EQ(font->lineHeight, 20);
    EXPECT_EQ(font->base, 7);
    EXPECT_EQ(font->scaleW, 64);
    EXPECT_EQ(font->scaleH, 32);
}

TEST_F(FontParser, MalformedCommonLineEndsTheProcess) {
    const std::string fewWords = "common lineHeight=16 base=13 scaleW=256 scaleH=256";
    const std::string tokens = "FAIL) Line \"%\" does not contain enough tokens to be a "
                               "commons definition\n";
    auto tokensFor = [&](const std::string& line) {
        std::string m = tokens;
        return m.replace(m.find('%'), 1, line);
    };
    std::string path = write(Header + fewWords + "\n");
    EXPECT_EXIT(font->loadDefinition(path.c_str()), ::testing::ExitedWithCode(1),
                exactly(tokensFor(fewWords)));
    path = write(Header + "\n" + Common);
    EXPECT_EXIT(font->loadDefinition(path.c_str()), ::testing::ExitedWithCode(1),
                exactly(tokensFor("")));
    path = write("only one line");
    EXPECT_EXIT(font->loadDefinition(path.c_str()), ::testing::ExitedWithCode(1),
                exactly(tokensFor("")));

    const std::string wrong = "Common lineHeight=16 base=13 scaleW=256 scaleH=256 pages=1";
    path = write(Header + wrong + "\n");
    EXPECT_EXIT(font->loadDefinition(path.c_str()), ::testing::ExitedWithCode(1),
                exactly("FAIL) Line \"" + wrong +
                        "\" does not contain magic word 'common' at start. Not commons "
                        "definition.\n"));
}

TEST_F(FontParser, CharLinesFillTheSlotOfTheirId) {
    const Parsed p = parse(Header + Common +
                           "char id=65 x=10 y=20 width=8 height=12 xoffset=1 yoffset=3 "
                           "xadvance=9 page=2\n"
                           "char id=66 x=1 y=2 width=3 height=4 xoffset=-5 yoffset=6 xadvance=7\n"
                           "char id=67 x=1 y=2 width=3 height=4 xoffset=5 yoffset=6 xadvance=7 "
                           "page=0 chnl=15\n"
                           "char id=255 x=9 y=9 width=9 height=9 xoffset=9 yoffset=9 xadvance=9\n");
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.out, CommonOut);
    EXPECT_EQ(p.err, TooMany + Blank); // chnl=15 is one word too many
    expectGlyph(font->glyphs[65], {10, 20, 8, 12, 9, 65, 2, 1, 3});
    expectGlyph(font->glyphs[66], {1, 2, 3, 4, 7, 66, 0, -5, 6});
    expectGlyph(font->glyphs[67], {1, 2, 3, 4, 7, 67, 0, 5, 6});
    expectGlyph(font->glyphs[255], {9, 9, 9, 9, 9, 255, 0, 9, 9});
    expectOnlySlots({65, 66, 67, 255});
}

TEST_F(FontParser, IdsWithoutASlotAreDroppedAndALaterLineReplacesAnEarlierOne) {
    const Parsed p = parse(Header + Common +
                           "char id=0 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1\n"
                           "char id=-5 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1\n"
                           "char id=300 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1\n"
                           "char id=256 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1\n"
                           "char id=70 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1\n"
                           "char id=70 x=2 y=2 width=2 height=2 xoffset=2 yoffset=2 xadvance=2\n");
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.err, Blank);
    expectGlyph(font->glyphs[70], {2, 2, 2, 2, 2, 70, 0, 2, 2});
    expectOnlySlots({70});
}

TEST_F(FontParser, IdsAboveTheTableWriteNothingPastIt) {
    // The font lives in a zeroed buffer with room behind it, so a stray write shows.
    constexpr std::size_t guard = 64 * sizeof(Glyph);
    alignas(MoxBitmapFont) unsigned char storage[sizeof(MoxBitmapFont) + guard] = {};
    MoxBitmapFont* placed;
    {
        CapturedOutput quiet;
        placed = new (storage) MoxBitmapFont("/nonexistent/page.png", "/nonexistent/font.fnt");
    }
    const std::string path =
        write(Header + Common +
              "char id=256 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1\n"
              "char id=290 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1\n");
    {
        CapturedOutput quiet;
        EXPECT_EQ(placed->loadDefinition(path.c_str()), 0);
        placed->~MoxBitmapFont();
    }
    const unsigned char* behind = storage + sizeof(MoxBitmapFont);
    EXPECT_TRUE(std::all_of(behind, behind + guard, [](unsigned char b) { return b == 0; }));
}

TEST_F(FontParser, KerningLineOrIdMinusTwoEndsTheReading) {
    const std::string kerning = "kerning first=89 second=74 amount=-1";
    const std::string after =
        "char id=80 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1\n";
    Parsed p = parse(Header + Common +
                     "char id=65 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1\n" +
                     kerning + "\n" + after);
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.out, CommonOut);
    EXPECT_EQ(p.err, notEnoughForChar(kerning));
    expectOnlySlots({65});

    p = parse(Header + Common +
              "char id=-2 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1\n" + after);
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.err, "");
    expectOnlySlots({65});
}

TEST_F(FontParser, OtherShortLinesAndForeignKeywordsEndTheProcess) {
    for (const std::string line :
         {"kernings count=3", "chars count=97", "page id=0 file=\"font_0.png\"", "   ",
          "char id=65 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1"}) {
        const std::string path = write(Header + Common + line + "\n");
        EXPECT_EXIT(font->loadDefinition(path.c_str()), ::testing::ExitedWithCode(1),
                    exactly(notEnoughForChar(line)))
            << line;
    }
    // A kerning line long enough to pass the count is not a char line.
    const std::string wordy = "kerning first=1 second=2 amount=3 a=1 b=2 c=3 d=4 e=5";
    const std::string path = write(Header + Common + wordy + "\n");
    EXPECT_EXIT(font->loadDefinition(path.c_str()), ::testing::ExitedWithCode(1),
                exactly("FAIL .\\engine\\MoxBitmapFont:212) Line \"" + wordy +
                        "\" does not contain magic word 'char' at start. Not character id.\n"));
}

TEST_F(FontParser, ShortWordsAreDroppedAfterTheyCountedTowardsNine) {
    // Eight words plus a lone '=' pass the count; the '=' then shifts nothing.
    const Parsed p = parse(Header + Common +
                           "char id=65 x=10 y=20 = width=8 height=12 xoffset=1 yoffset=3 "
                           "xadvance=9\n"
                           "char id=66 x=1 y=2 width=3 height=4 xoffset=5 yoffset=6 xadvance=7 "
                           "page=1 a b c\n");
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.err, Blank);
    expectGlyph(font->glyphs[65], {10, 20, 8, 12, 9, 65, 0, 1, 3});
    expectGlyph(font->glyphs[66], {1, 2, 3, 4, 7, 66, 1, 5, 6});
}

TEST_F(FontParser, BlankLinesAreWarnedAboutOnceEach) {
    const std::string a = "char id=65 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1 xadvance=1";
    Parsed p = parse(Header + Common + a + "\n\n" + a);
    EXPECT_EQ(p.err, Blank);
    p = parse(Header + Common + a);
    EXPECT_EQ(p.err, "");
    p = parse(Header + Common + a + "\n");
    EXPECT_EQ(p.err, Blank);
    p = parse(Header + Common + a + "\n\n");
    EXPECT_EQ(p.err, Blank + Blank);
}

TEST_F(FontParser, CrLfFileReadsExactlyLikeTheLfFile) {
    const std::string lf = Header + Common +
                           "char id=65 x=10 y=20 width=8 height=12 xoffset=1 yoffset=3 "
                           "xadvance=9\n"
                           "\n"
                           "char id=66 x=1 y=2 width=3 height=4 xoffset=5 yoffset=6 xadvance=7 "
                           "page=0\n"
                           "kerning first=65 second=66 amount=-1\n"
                           "char id=67 x=1 y=2 width=3 height=4 xoffset=5 yoffset=6 xadvance=7\n";
    std::string crlf;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    const Parsed fromLf = parse(lf);
    std::vector<Glyph> lfGlyphs(font->glyphs, font->glyphs + MoxBitmapFont::GlyphCount);
    const int lfCommon[] = {font->lineHeight, font->base, font->scaleW, font->scaleH};
    freshFont();
    const Parsed fromCrLf = parse(crlf);

    EXPECT_EQ(fromCrLf.result, fromLf.result);
    EXPECT_EQ(fromCrLf.out, fromLf.out);
    EXPECT_EQ(fromCrLf.err, fromLf.err);
    EXPECT_EQ(fromLf.err, Blank + notEnoughForChar("kerning first=65 second=66 amount=-1"));
    EXPECT_EQ(0, std::memcmp(lfGlyphs.data(), font->glyphs, sizeof font->glyphs));
    const int crlfCommon[] = {font->lineHeight, font->base, font->scaleW, font->scaleH};
    EXPECT_EQ(0, std::memcmp(lfCommon, crlfCommon, sizeof lfCommon));
    expectGlyph(font->glyphs[66], {1, 2, 3, 4, 7, 66, 0, 5, 6});
    expectOnlySlots({65, 66});
}

TEST_F(FontParser, LongLinesAreReadWhole) {
    const std::string padding(300, ' ');
    const std::string longLine = "char id=65 x=10 y=20 width=8 height=12" + padding +
                                 "xoffset=1 yoffset=3 xadvance=9 page=0";
    std::string manyWords;
    for (int i = 0; i < 60; ++i) {
        manyWords += " w=" + std::to_string(i);
    }
    const std::string wordy = "char id=66 x=1 y=2 width=3 height=4 xoffset=5 yoffset=6 "
                              "xadvance=7 page=0" +
                              manyWords;
    const std::string longKerning = "kerning first=65" + padding + "amount=-1";
    const Parsed p = parse(Header + Common + longLine + "\n" + wordy + "\n" + longKerning + "\n");
    EXPECT_EQ(p.result, 0);
    std::string expected;
    for (int i = 0; i < 60; ++i) {
        expected += TooMany;
    }
    EXPECT_EQ(p.err, expected + notEnoughForChar(longKerning));
    expectGlyph(font->glyphs[65], {10, 20, 8, 12, 9, 65, 0, 1, 3});
    expectGlyph(font->glyphs[66], {1, 2, 3, 4, 7, 66, 0, 5, 6});
    expectOnlySlots({65, 66});
}

TEST_F(FontParser, MissingFileIsReportedToTheCaller) {
    CapturedOutput captured;
    const std::string path = dir.file("absent.fnt");
    EXPECT_EQ(font->loadDefinition(path.c_str()), -1);
    EXPECT_EQ(captured.err(), "[" + path + "] wasn't found\n");
    EXPECT_EQ(captured.out(), "");
}

} // namespace
