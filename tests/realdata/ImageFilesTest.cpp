// Every picture of a public PNG conformance suite through SpriteManager::loadTexture, in a
// real GL window: the valid ones become sprites, the corrupt ones are reported missing.
#include "engine/SpriteManager.h"

#include "realdata/RealData.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <set>
#include <memory>

namespace {

std::string missingLine(const std::string& file) {
    return "Sorry, sprite " + file + " is missing\n";
}

// A manager with no pictures of its own, to call loadTexture on.
std::unique_ptr<SpriteManager> emptyManager() {
    TempDir empty;
    CapturedOutput quiet;
    return std::make_unique<SpriteManager>(empty.path().c_str());
}

TEST(RealImages, EveryValidSuitePictureBecomesASprite) {
    REALDATA_REQUIRE("pngsuite");
    glwindow::open();
    auto sprites = emptyManager();
    int valid = 0;
    for (const std::string& name : realdata::files("pngsuite", ".png")) {
        if (name[0] == 'x') {
            continue; // the corrupt group, below
        }
        const std::string file = realdata::path("pngsuite/" + name);
        CapturedOutput output;
        const int id = sprites->loadTexture(file.c_str(), 255, 0, 255);
        output.stop();
        EXPECT_EQ(id, valid) << name;
        EXPECT_EQ(output.err(), "") << name;
        EXPECT_EQ(output.out(), "") << name;
        if (id >= 0) {
            ++valid;
        }
        // The new texture draws without disturbing the GL state.
        sprites->draw(id, 0, 0, 32, 32);
    }
    EXPECT_EQ(valid, 161) << "the suite holds 161 valid pictures";
    EXPECT_EQ(sprites->count(), valid);
}

// What SDL_image 1.2 (through libpng) does with each corrupt picture, and what libpng
// itself writes to standard error before our line (SDL_image leaves libpng's default
// handlers in place; the text is libpng's, not ours).
struct Corrupt {
    const char* name;
    bool refused; // false: decoded anyway, and the sprite is whatever libpng made of it
    std::string libpngSays;
};

const std::string AsciiConversion = "libpng error: PNG file corrupted by ASCII conversion\n";
const std::string BadIhdr = "libpng warning: Invalid color type in IHDR\n"
                            "libpng error: Invalid IHDR data\n";
const std::string BadDepth = "libpng warning: Invalid bit depth in IHDR\n"
                             "libpng warning: Invalid color type/bit depth combination in IHDR\n"
                             "libpng error: Invalid IHDR data\n";

const Corrupt CorruptFiles[] = {
    {"pngsuite/xc1n0g08.png", true, BadIhdr}, // colour type 1
    {"pngsuite/xc9n2c08.png", true, BadIhdr}, // colour type 9
    {"pngsuite/xcrn0g04.png", true, AsciiConversion},
    {"pngsuite/xcsn0g01.png", true, "libpng error: IDAT: CRC error\n"},
    {"pngsuite/xd0n2c08.png", true, BadDepth}, // bit depth 0
    {"pngsuite/xd3n2c08.png", true, BadDepth}, // bit depth 3
    {"pngsuite/xd9n2c08.png", true,           // bit depth 99: a valid colour type for it
     "libpng warning: Invalid bit depth in IHDR\nlibpng error: Invalid IHDR data\n"},
    {"pngsuite/xdtn0g01.png", true, "libpng error: IEND: out of place\n"}, // no IDAT
    {"pngsuite/xhdn0g08.png", true, "libpng error: IHDR: CRC error\n"},
    {"pngsuite/xlfn0g04.png", true, AsciiConversion},
    // Signature bytes 1, 2 and 4 wrong: SDL_image does not take them for PNG at all.
    {"pngsuite/xs1n0g01.png", true, ""},
    {"pngsuite/xs2n0g01.png", true, ""},
    {"pngsuite/xs4n0g01.png", true, ""},
    // Byte 7 wrong: SDL_image's own check reads only four bytes, libpng catches the rest.
    {"pngsuite/xs7n0g01.png", true, AsciiConversion},
    {"pngsuite-derived-malformed/x_unexpected_eof.png", true,
     "libpng error: R[00]y[00]: invalid chunk type\n"},
    {"pngsuite-derived-malformed/x_ihdr_missing.png", true,
     "libpng error: IDAT: Missing IHDR before IDAT\n"},
    {"pngsuite-derived-malformed/x_consecutive_idat.png", true,
     "libpng error: Not enough image data\n"},
    {"pngsuite-derived-malformed/x_interlaced_chck.png", true, "libpng error: IDAT: CRC error\n"},
    // Pixels index past a 17-entry palette. libpng 1.6 does not check palette indexes on
    // reading, so this one decodes and becomes a sprite; the out-of-range pixels come out
    // as whatever SDL's 256-entry palette holds there (black).
    {"pngsuite-derived-malformed/invalid_palette_index.png", false, ""},
};

TEST(RealImages, CorruptPicturesAreReportedMissing) {
    REALDATA_REQUIRE("pngsuite");
    REALDATA_REQUIRE("pngsuite-derived-malformed");
    glwindow::open();
    auto sprites = emptyManager();
    // Every corrupt file of both folders is in the table.
    std::set<std::string> listed;
    for (const Corrupt& c : CorruptFiles) {
        listed.insert(c.name);
    }
    for (const std::string& name : realdata::files("pngsuite", ".png")) {
        EXPECT_TRUE(name[0] != 'x' || listed.count("pngsuite/" + name)) << name;
    }
    for (const std::string& name : realdata::files("pngsuite-derived-malformed", ".png")) {
        EXPECT_TRUE(listed.count("pngsuite-derived-malformed/" + name)) << name;
    }

    for (const Corrupt& c : CorruptFiles) {
        const std::string file = realdata::path(c.name);
        const int before = sprites->count();
        CapturedOutput output;
        const int id = sprites->loadTexture(file.c_str(), 255, 0, 255);
        output.stop();
        const std::string& libpng = c.libpngSays;
        if (c.refused) {
            EXPECT_EQ(id, -1) << c.name << " was accepted";
            EXPECT_EQ(output.err(), libpng + missingLine(file)) << c.name;
            EXPECT_EQ(sprites->count(), before) << c.name;
        } else {
            EXPECT_EQ(id, before) << c.name << " was refused";
            EXPECT_EQ(output.err(), libpng) << c.name;
            sprites->draw(id, 0, 0, 10, 10);
        }
        EXPECT_EQ(output.out(), "") << c.name;
    }
}

} // namespace
