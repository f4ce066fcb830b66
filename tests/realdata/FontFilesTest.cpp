// Font definitions written by real generators, and damaged ones, through the strict reader.
// A generator's third line (a page line) is not a char line, so the reader refuses them all
// by ending the process.
#include "engine/MoxBitmapFont.h"

#include "realdata/RealData.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::string TooMany = "FAIL) Too many tokens in this line.\n";

std::string tooShort(const std::string& line, const char* what = "a character ID") {
    return "FAIL) Line \"" + line + "\" does not contain enough tokens to be " + what + "\n";
}

// The lines of a file, a CR before each line feed removed.
std::vector<std::string> linesOf(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(!line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1)
                                                             : line);
    }
    return lines;
}

class RealFonts : public ::testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        CapturedOutput quiet; // the page does not load: the reader is driven without GL
        font = std::make_unique<MoxBitmapFont>("/nonexistent/page.png", "/nonexistent.fnt");
    }
    void TearDown() override {
        CapturedOutput quiet;
        font.reset();
    }
    std::unique_ptr<MoxBitmapFont> font;
};

// Each is refused where the reader first disagrees: extra words of the common line are
// reported one by one, then the line that ends the reading.
TEST_F(RealFonts, EveryFileIsRefusedAtTheFirstLineTheReaderCannotTake) {
    REALDATA_REQUIRE("fnt");
    std::vector<std::pair<std::string, std::string>> cases;
    for (const char* file :
         {"bmfont-lato/Lato-Regular-16.fnt", "bmfont_rs/anton_latin.fnt", "bmfont_rs/ok/medium.txt",
          "bmfont_rs/ok/small.txt", "fontbm/test0.fnt", "parse-bmfont-ascii/Glyphite.fnt",
          "parse-bmfont-ascii/MarkerFelt-text.fnt", "parse-bmfont-ascii/NexaLight32.fnt",
          "parse-bmfont-ascii/NexaLight32Multi.fnt"}) {
        const std::vector<std::string> lines = linesOf(realdata::path(std::string("fnt/") + file));
        std::istringstream words(lines.at(1));
        std::string word, expected;
        for (int n = 0; words >> word;) {
            expected += ++n > 6 ? TooMany : "";
        }
        EXPECT_EQ(lines.at(2).rfind("page id=0 file=\"", 0), 0u) << file;
        cases.push_back({std::string("fnt/") + file, expected + tooShort(lines[2])});
    }
    const std::string page = "page id=0 file=\"small_sheet_0.png\"",
                      common = TooMany + TooMany + TooMany + TooMany + TooMany;
    for (const char* bad :
         {"duplicate_key", "invalid_char_count", "invalid_charset_string", "invalid_kerning_count",
          "invalid_tag"}) { // faults in the info line are never seen
        cases.push_back(
            {std::string("fnt/bmfont_rs/bad/") + bad + ".txt", common + tooShort(page)});
    }
    cases.insert(cases.end(),
                 {{"fnt/bmfont_rs/bad/bad_int.txt",
                   common + tooShort("page id=... file=\"small_sheet_0.png\"")},
                  {"fnt/bmfont_rs/bad/no_common.txt", tooShort(page, "a commons definition")},
                  {"fnt/bmfont_rs/bad/no_info.txt", tooShort(page, "a commons definition")},
                  {"fnt/bmfont_rs/ok/empty.txt", common + tooShort("chars count=0")},
                  // The binary format: its second "line" (to the next 0x0A byte) starts with a NUL.
                  {"fnt/fontbm/test2-binary-format.fnt", tooShort("", "a commons definition")}});
    for (const auto& [file, expected] : cases) {
        EXPECT_EXIT(font->loadDefinition(realdata::path(file).c_str()),
                    ::testing::ExitedWithCode(1), ::testing::Eq(expected))
            << file;
    }
}

} // namespace
