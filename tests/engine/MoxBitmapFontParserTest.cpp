// The font definition reader, driven through a font whose page did not load (no GL needed).
#include "engine/MoxBitmapFont.h"

#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <new>
#include <vector>

namespace {

const std::string Head = "info face=\"Test\" size=16\n"
                         "common lineHeight=16 base=13 scaleW=256 scaleH=256 pages=1\n";
const std::string CommonOut = "setting lineHeight\nsetting base\nsetting scaleW\nsetting "
                              "scaleH\nignoring pages for now\n";
const std::string Blank = "WARN) Detected blank line.\n";
const std::string TooMany = "FAIL) Too many tokens in this line.\n";

std::string tooShort(const std::string& line) {
    return "FAIL) Line \"" + line + "\" does not contain enough tokens to be a character ID\n";
}

std::string repeat(const std::string& text, int times) {
    std::string all;
    while (times-- > 0) {
        all += text;
    }
    return all;
}

// A char line without page whose every value is v.
std::string charLine(int id, int v = 1) {
    std::string line = "char id=" + std::to_string(id);
    for (const char* name : {"x", "y", "width", "height", "xoffset", "yoffset", "xadvance"}) {
        line += std::string(" ") + name + "=" + std::to_string(v);
    }
    return line;
}

// A glyph's values in file order: id x y width height xoffset yoffset xadvance page.
using Values = std::array<int, 9>;
Values valuesOf(const Glyph& g) {
    return {g.id, g.x, g.y, g.width, g.height, g.xoffset, g.yoffset, g.xadvance, g.page};
}
Values same(int id, int v = 1) {
    return {id, v, v, v, v, v, v, v, 0};
}

struct Parsed {
    int result;
    std::string out, err;
};

class FontParser : public ::testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        fresh();
    }
    void TearDown() override {
        CapturedOutput quiet;
        font->~MoxBitmapFont();
    }

    // The font lives in a zeroed buffer with room behind it, so a write past its glyph
    // table shows in the guard.
    void fresh() {
        CapturedOutput quiet;
        if (font != nullptr) {
            font->~MoxBitmapFont();
        }
        std::memset(storage, 0, sizeof storage);
        font = new (storage) MoxBitmapFont("/nonexistent/page.png", "/nonexistent/font.fnt");
    }

    Parsed parse(const std::string& text) {
        fresh();
        const std::string path = dir.write("font.fnt", text);
        CapturedOutput captured;
        const int result = font->loadDefinition(path.c_str());
        const unsigned char* guard = storage + sizeof(MoxBitmapFont);
        EXPECT_TRUE(std::all_of(guard, guard + Guard, [](unsigned char b) { return b == 0; }))
            << "written past the glyph table";
        return {result, captured.out(), captured.err()};
    }

    // Every slot holds `filled`'s values or is all zero.
    void expectSlots(const std::map<int, Values>& filled, const std::string& what) {
        for (int id = 0; id < MoxBitmapFont::GlyphCount; ++id) {
            const auto found = filled.find(id);
            EXPECT_EQ(valuesOf(font->glyphs[id]), found == filled.end() ? Values{} : found->second)
                << what << ": slot " << id;
        }
    }

    static constexpr std::size_t Guard = 64 * sizeof(Glyph);
    alignas(MoxBitmapFont) unsigned char storage[sizeof(MoxBitmapFont) + Guard];
    MoxBitmapFont* font = nullptr;
    TempDir dir;
};

// An empty name (a word starting with '=') warns; the value is read all the same.
TEST(FontFieldValue, ReadsTheTextAfterTheFirstEqualsLikeAtoi) {
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"x=12", 12}, {"x=12abc", 12}, {"x=abc", 0}, {"x=-3", -3}, {"x=+7", 7}, {"x= 5", 5},
        {"x=\t5", 5}, {"x=5\r\n", 5}, {"a=b=3", 0}, {"=4", 4}, {"=", 0}, {"x", 0}, {"7", 0},
        {"x=", 0}, {"", -1}, {" \r\n", -1}, {"x=9999999999", INT_MAX}, {"x=-9999999999", INT_MIN}};
    // clang-format on
    for (const auto& [word, value] : cases) {
        CapturedOutput captured;
        EXPECT_EQ(parseFieldValue(word), value) << "'" << word << "'";
        EXPECT_EQ(captured.out(), "");
        EXPECT_EQ(captured.err(),
                  word[0] == '=' ? "WARN) Name too short: '' (must be at least 1 character)\n" : "")
            << "'" << word << "'";
    }
}

TEST_F(FontParser, CommonValuesAreTakenByPositionAndExtraWordsReported) {
    Parsed p = parse("info\ncommon lineHeight=16 base=13 scaleW=256 scaleH=128 pages=1");
    EXPECT_EQ(p.err, "");
    EXPECT_EQ((Values{font->lineHeight, font->base, font->scaleW, font->scaleH}),
              (Values{16, 13, 256, 128}));
    p = parse("info\ncommon base=20 lineHeight=7 scaleH=64 scaleW=32 pages=2 packed=0 = x\n");
    EXPECT_EQ(p.out, CommonOut);
    EXPECT_EQ(p.err, repeat(TooMany, 3) + Blank);
    EXPECT_EQ((Values{font->getLineHeight(), font->base, font->scaleW, font->scaleH}),
              (Values{20, 7, 64, 32}));
}

// Every file is read twice, with LF and with CR LF line ends, to the same result.
TEST_F(FontParser, CharLinesFillTheSlotsOfTheirIds) {
    const std::string kerning = "kerning first=89 second=74 amount=-1";
    const std::string padding(300, ' ');
    const std::string longKerning = "kerning first=65" + padding + "amount=-1";
    const Values A = {65, 10, 20, 8, 12, 1, 3, 9, 2};
    // clang-format off
    struct Case { const char* what; std::string body, err; std::map<int, Values> slots; };
    const Case cases[] = {
        {"values by position, page optional, extra word reported",
         "char id=65 x=10 y=20 width=8 height=12 xoffset=1 yoffset=3 xadvance=9 page=2\n"
         "char id=66 x=1 y=2 width=3 height=4 xoffset=-5 yoffset=6 xadvance=7\n"
         "char id=67 x=1 y=2 width=3 height=4 xoffset=5 yoffset=6 xadvance=7 page=0 chnl=15\n" +
             charLine(255, 9) + "\n",
         TooMany + Blank,
         {{65, A}, {66, {66, 1, 2, 3, 4, -5, 6, 7, 0}}, {67, {67, 1, 2, 3, 4, 5, 6, 7, 0}},
          {255, same(255, 9)}}},
        {"ids without a slot dropped, a later line replaces an earlier one",
         charLine(0) + "\n" + charLine(-5) + "\n" + charLine(300) + "\n" + charLine(256) + "\n" +
             charLine(70) + "\n" + charLine(70, 2) + "\n",
         Blank, {{70, same(70, 2)}}},
        {"a lone '=' counts towards nine words, then shifts nothing",
         "char id=65 x=10 y=20 = width=8 height=12 xoffset=1 yoffset=3 xadvance=9 page=2\n" +
             charLine(66) + " page=1 a b c\n",
         Blank, {{65, A}, {66, {66, 1, 1, 1, 1, 1, 1, 1, 1}}}},
        {"kerning ends the reading", charLine(65) + "\n" + kerning + "\n" + charLine(80),
         tooShort(kerning), {{65, same(65)}}},
        {"id -2 ends the reading", charLine(-2) + "\n" + charLine(80) + "\n", "", {}},
        {"blank line", charLine(65) + "\n\n" + charLine(66), Blank,
         {{65, same(65)}, {66, same(66)}}},
        {"no final line feed", charLine(65), "", {{65, same(65)}}},
        {"two final line feeds", charLine(65) + "\n\n", Blank + Blank, {{65, same(65)}}},
        {"long lines read whole",
         "char id=65 x=10 y=20 width=8 height=12" + padding +
             "xoffset=1 yoffset=3 xadvance=9 page=2\n" +
             charLine(66) + " page=0" + repeat(" w=1", 60) + "\n" + longKerning + "\n",
         repeat(TooMany, 60) + tooShort(longKerning), {{65, A}, {66, same(66)}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        std::string crlf;
        for (char ch : Head + c.body) {
            crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        }
        for (const std::string& text : {Head + c.body, crlf}) {
            const std::string what = c.what + std::string(text == crlf ? " (CR LF)" : "");
            const Parsed p = parse(text);
            EXPECT_EQ(p.result, 0) << what;
            EXPECT_EQ(p.out, CommonOut) << what;
            EXPECT_EQ(p.err, c.err) << what;
            expectSlots(c.slots, what);
        }
    }
}

TEST_F(FontParser, MalformedLinesEndTheProcessWithOneLine) {
    const std::string few = "common lineHeight=16 base=13 scaleW=256 scaleH=256";
    const std::string capital = "Common lineHeight=16 base=13 scaleW=256 scaleH=256 pages=1";
    const std::string wordy = "kerning first=1 second=2 amount=3 a=1 b=2 c=3 d=4 e=5";
    auto commons = [](const std::string& line) {
        return "FAIL) Line \"" + line +
               "\" does not contain enough tokens to be a commons definition\n";
    };
    std::vector<std::pair<std::string, std::string>> cases = {
        {"info\n" + few + "\n", commons(few)},
        {"info\n\n" + Head, commons("")},
        {"only one line", commons("")},
        {"info\n" + capital + "\n", "FAIL) Line \"" + capital +
                                        "\" does not contain magic word 'common' at start. Not "
                                        "commons definition.\n"},
        {Head + wordy + "\n", "FAIL .\\engine\\MoxBitmapFont:212) Line \"" + wordy +
                                  "\" does not contain magic word 'char' at start. Not "
                                  "character id.\n"},
    };
    for (const std::string line :
         {"kernings count=3", "chars count=97", "page id=0 file=\"f.png\"", "   ",
          "char id=65 x=1 y=1 width=1 height=1 xoffset=1 yoffset=1"}) {
        cases.push_back({Head + line + "\n", tooShort(line)});
    }
    for (const auto& [text, message] : cases) {
        const std::string path = dir.write("font.fnt", text);
        EXPECT_EXIT(font->loadDefinition(path.c_str()), ::testing::ExitedWithCode(1),
                    ::testing::Eq(message))
            << text;
    }
}

TEST_F(FontParser, MissingFileIsReportedToTheCaller) {
    CapturedOutput captured;
    const std::string path = dir.file("absent.fnt");
    EXPECT_EQ(font->loadDefinition(path.c_str()), -1);
    EXPECT_EQ(captured.err(), "[" + path + "] wasn't found\n");
    EXPECT_EQ(captured.out(), "");
}

} // namespace
