// Every picture of a public PNG conformance suite, and pictures damaged on purpose, through
// SpriteManager::loadTexture in a real GL window.
#include "engine/SpriteManager.h"

#include "realdata/RealData.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// The suite's corrupt pictures start with 'x'; libpng 1.6 does not check palette indexes
// when reading, so the one picture that only has bad indexes decodes and becomes a sprite.
TEST(RealImages, ValidPicturesBecomeSpritesAndCorruptOnesAreReportedMissing) {
    REALDATA_REQUIRE("pngsuite");
    REALDATA_REQUIRE("pngsuite-derived-malformed");
    glwindow::open();
    TempDir empty;
    std::unique_ptr<SpriteManager> sprites;
    {
        CapturedOutput quiet;
        sprites = std::make_unique<SpriteManager>(empty.path().c_str());
    }
    int valid = 0, corrupt = 0;
    for (const std::string folder : {"pngsuite", "pngsuite-derived-malformed"}) {
        for (const std::string& name : realdata::files(folder, ".png")) {
            const bool loads =
                (name[0] != 'x' && folder == "pngsuite") || name == "invalid_palette_index.png";
            const std::string file = realdata::path(folder + "/" + name);
            CapturedOutput output;
            const int id = sprites->loadTexture(file.c_str(), 255, 0, 255);
            if (id >= 0) {
                sprites->draw(id, 0, 0, 32, 32); // without disturbing the GL state
            }
            output.stop();
            EXPECT_EQ(id, loads ? valid : -1) << name;
            const std::string missing = "Sorry, sprite " + file + " is missing\n";
            if (loads) {
                EXPECT_EQ(output.err(), "") << name;
            } else {
                EXPECT_EQ(output.err().substr(output.err().size() -
                                              std::min(output.err().size(), missing.size())),
                          missing)
                    << name;
            }
            (loads ? valid : corrupt) += 1;
        }
    }
    EXPECT_EQ(valid, 162);
    EXPECT_EQ(corrupt, 18);
}

} // namespace
