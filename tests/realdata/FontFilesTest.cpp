// Font definition files written by real generators, through the strict reader. Their
// third line (a page line) is not a char line, so the reader refuses them by ending the
// process; without their page, chars and kernings-count lines they read, and every char
// line's values land in the glyph table.
#include "engine/MoxBitmapFont.h"

#include "realdata/RealData.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <tuple>

namespace {

const std::string TooMany = "FAIL) Too many tokens in this line.\n";

std::string notEnoughForChar(const std::string& line) {
    return "FAIL) Line \"" + line + "\" does not contain enough tokens to be a character ID\n";
}

std::string notEnoughForCommon(const std::string& line) {
    return "FAIL) Line \"" + line + "\" does not contain enough tokens to be a commons "
                                    "definition\n";
}

// The file's lines, split at line feeds, a CR before the line feed removed.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::size_t spaceSeparatedWords(const std::string& line) {
    std::size_t count = 0;
    bool inWord = false;
    for (char c : line) {
        count += (c != ' ' && !inWord) ? 1 : 0;
        inWord = c != ' ';
    }
    return count;
}

class RealFonts : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        CapturedOutput quiet;
        // The page does not load, so the definition reader can be driven without GL.
        font = std::make_unique<MoxBitmapFont>("/nonexistent/page.png", "/nonexistent.fnt");
    }
    void TearDown() override {
        CapturedOutput quiet;
        font.reset();
    }
    std::unique_ptr<MoxBitmapFont> font;
};

// The files of real generators, and the files derived from them for a reader's tests.
const char* const GeneratorFiles[] = {
    "fnt/bmfont-lato/Lato-Regular-16.fnt",     // gdx-fontpack
    "fnt/bmfont_rs/anton_latin.fnt",           // AngelCode BMFont, CR LF
    "fnt/bmfont_rs/ok/medium.txt",             // BMFont, two pages
    "fnt/bmfont_rs/ok/small.txt",
    "fnt/fontbm/test0.fnt",                    // fontbm, two pages, negative size
    "fnt/parse-bmfont-ascii/Glyphite.fnt",     // Glyphite: tabs between the words
    "fnt/parse-bmfont-ascii/MarkerFelt-text.fnt", // Glyph Designer, letter= field
    "fnt/parse-bmfont-ascii/NexaLight32.fnt",
    "fnt/parse-bmfont-ascii/NexaLight32Multi.fnt",
};

TEST_F(RealFonts, EveryGeneratorsFileIsRefusedAtItsPageLine) {
    REALDATA_REQUIRE("fnt");
    for (const char* file : GeneratorFiles) {
        const std::string path = realdata::path(file);
        const std::vector<std::string> lines = linesOf(realdata::contents(path));
        ASSERT_GE(lines.size(), 3u) << file;
        ASSERT_EQ(lines[2].rfind("page id=0 file=\"", 0), 0u) << file;
        // The common line carries more than the six words the reader takes: one message each.
        std::string expected;
        for (std::size_t extra = 6; extra < spaceSeparatedWords(lines[1]); ++extra) {
            expected += TooMany;
        }
        expected += notEnoughForChar(lines[2]);
        EXPECT_EXIT(font->loadDefinition(path.c_str()), ::testing::ExitedWithCode(1),
                    ::testing::Matcher<const std::string&>(expected))
            << file;
    }
}

// The lines a generator writes that the reader has no place for.
std::string withoutPageAndCountLines(const std::string& text) {
    std::string kept;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("page ", 0) != 0 && line.rfind("chars ", 0) != 0 &&
            line.rfind("kernings ", 0) != 0) {
            kept += line + "\n";
        }
    }
    return kept;
}

// The glyphs of a file's char lines, read by name (not position) and independently of the
// reader; later lines for the same id replace earlier ones, ids outside 1..255 have no slot.
std::map<int, Glyph> glyphsByName(const std::string& text) {
    std::map<int, Glyph> glyphs;
    for (const std::string& line : linesOf(text)) {
        if (line.rfind("kerning ", 0) == 0) {
            break;
        }
        if (line.rfind("char ", 0) != 0) {
            continue;
        }
        std::map<std::string, int> value;
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            const auto equals = word.find('=');
            if (equals != std::string::npos) {
                value[word.substr(0, equals)] = std::atoi(word.c_str() + equals + 1);
            }
        }
        const Glyph g{value["x"],  value["y"],    value["width"],   value["height"],
                      value["xadvance"], value["id"], value["page"], value["xoffset"],
                      value["yoffset"]};
        if (g.id > 0 && g.id < MoxBitmapFont::GlyphCount) {
            glyphs[g.id] = g;
        }
    }
    return glyphs;
}

TEST_F(RealFonts, WithoutTheirPageAndCountLinesTheyReadIntoTheGlyphTable) {
    REALDATA_REQUIRE("fnt");
    for (const char* file : GeneratorFiles) {
        const std::string original = realdata::contents(realdata::path(file));
        if (original.find('\t') != std::string::npos) {
            continue; // Glyphite: below
        }
        TempDir dir;
        const std::string path = dir.write("font.fnt", withoutPageAndCountLines(original));
        for (Glyph& g : font->glyphs) {
            g = Glyph{};
        }
        CapturedOutput output;
        const int result = font->loadDefinition(path.c_str());
        output.stop();
        EXPECT_EQ(result, 0) << file;

        const std::map<int, Glyph> expected = glyphsByName(original);
        EXPECT_GT(expected.size(), 1u) << file;
        auto fields = [](const Glyph& g) {
            return std::tuple(g.id, g.x, g.y, g.width, g.height, g.xoffset, g.yoffset, g.xadvance, g.page);
        };
        for (int id = 0; id < MoxBitmapFont::GlyphCount; ++id) {
            // Slots no char line names stay empty.
            const Glyph want = expected.count(id) ? expected.at(id) : Glyph{};
            EXPECT_EQ(fields(font->glyphs[id]), fields(want)) << file << " id " << id;
        }

        // The only complaints: extra words, blank lines, and the first kerning line.
        std::istringstream err(output.err());
        std::string line;
        int kerningLines = 0;
        while (std::getline(err, line)) {
            if (line.rfind("FAIL) Line \"kerning ", 0) == 0) {
                ++kerningLines;
            } else {
                EXPECT_TRUE(line + "\n" == TooMany || line == "WARN) Detected blank line.")
                    << file << ": " << line;
            }
        }
        EXPECT_LE(kerningLines, 1) << file;
    }
}

// Glyphite separates the words of its char lines with tabs, which the reader does not
// take for separators: a char line is then one long word, and the reader refuses it.
TEST_F(RealFonts, TabSeparatedCharLinesAreRefusedEvenWithoutPageLines) {
    REALDATA_REQUIRE("fnt");
    const std::string original =
        realdata::contents(realdata::path("fnt/parse-bmfont-ascii/Glyphite.fnt"));
    TempDir dir;
    const std::string path = dir.write("font.fnt", withoutPageAndCountLines(original));
    const std::vector<std::string> lines = linesOf(realdata::contents(path));
    ASSERT_EQ(lines[2].rfind("char\tid=32\t", 0), 0u);
    ASSERT_EQ(spaceSeparatedWords(lines[1]), 7u); // common ... pages=1 packed=0
    EXPECT_EXIT(font->loadDefinition(path.c_str()), ::testing::ExitedWithCode(1),
                ::testing::Matcher<const std::string&>(TooMany + notEnoughForChar(lines[2])));
}

TEST_F(RealFonts, TheMalformedSetIsRefusedWhereTheReaderFirstDisagrees) {
    REALDATA_REQUIRE("fnt");
    const std::string pageLine = "page id=0 file=\"small_sheet_0.png\"";
    const std::string commonExtras = TooMany + TooMany + TooMany + TooMany + TooMany;
    const std::pair<std::string, std::string> cases[] = {
        // Faults in the info line are never seen; the page line ends the reading first.
        {"bad_int.txt", commonExtras + notEnoughForChar("page id=... file=\"small_sheet_0.png\"")},
        {"duplicate_key.txt", commonExtras + notEnoughForChar(pageLine)},
        {"invalid_char_count.txt", commonExtras + notEnoughForChar(pageLine)},
        {"invalid_charset_string.txt", commonExtras + notEnoughForChar(pageLine)}, // NUL in info
        {"invalid_kerning_count.txt", commonExtras + notEnoughForChar(pageLine)},
        {"invalid_tag.txt", commonExtras + notEnoughForChar(pageLine)},
        // The second line is the page line.
        {"no_common.txt", notEnoughForCommon(pageLine)},
        {"no_info.txt", notEnoughForCommon(pageLine)},
        // No pages: refused at the chars line.
        {"../ok/empty.txt", commonExtras + notEnoughForChar("chars count=0")},
        // The binary format: its second "line" (to the next 0x0A byte) starts with a NUL.
        {"../../fontbm/test2-binary-format.fnt", notEnoughForCommon("")},
    };
    EXPECT_EQ(realdata::files("fnt/bmfont_rs/bad", ".txt").size() + 2, std::size(cases));
    for (const auto& [name, expected] : cases) {
        const std::string path = realdata::path("fnt/bmfont_rs/bad/" + name);
        EXPECT_EXIT(font->loadDefinition(path.c_str()), ::testing::ExitedWithCode(1),
                    ::testing::Matcher<const std::string&>(expected))
            << name;
    }
}

} // namespace
