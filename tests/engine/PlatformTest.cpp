#include "engine/Platform.h"
#include "engine/JumpKey.h"

#include "support/GlWindow.h"
#include "support/KeyPress.h"
#include "support/Pixels.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

namespace {

TEST(Platform, WindowOpensWithTheGameCaption) {
    glwindow::open();
    ASSERT_NE(SDL_GetVideoSurface(), nullptr);
    EXPECT_FALSE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);
    char* caption = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&caption, &icon);
    EXPECT_STREQ(caption, "Pyrokettle");
    EXPECT_EQ(icon, nullptr);
    EXPECT_EQ(setCaption("Loading..."), 0);
    SDL_WM_GetCaption(&caption, &icon);
    EXPECT_STREQ(caption, "Loading...");
}

// A one-unit square covers exactly one pixel, counted from the top-left corner, the
// window reaches (799, 599), and clearScreen leaves it black again.
TEST(Platform, DrawingSpaceIsOnePixelPerUnitFromTheTopLeft) {
    glwindow::open();
    glDisable(GL_TEXTURE_2D);
    glRectf(3, 10, 4, 11);
    glRectf(790, 590, 800, 600);
    glEnable(GL_TEXTURE_2D);
    EXPECT_EQ(rgbAt(3, 10), "ffffff");
    EXPECT_EQ(rgbAt(799, 599), "ffffff");
    for (const auto& [x, y] : {std::pair{2, 10}, {4, 10}, {3, 9}, {3, 11}, {3, 589}, {789, 599}}) {
        EXPECT_EQ(rgbAt(x, y), "000000") << x << "," << y;
    }
    clearScreen();
    EXPECT_EQ(rgbAt(3, 10), "000000");
    EXPECT_EQ(rgbAt(799, 599), "000000");
}

bool held = false;
int asked = 0;

TEST(JumpKey, SeamReplacesTheKeyboardUntilReset) {
    glwindow::open();
    setJumpKeySource([] {
        ++asked;
        return held;
    });
    held = true;
    EXPECT_TRUE(jumpKeyDown());
    held = false;
    EXPECT_FALSE(jumpKeyDown());
    EXPECT_EQ(asked, 2);
    // Back on the real keyboard. That is the X server's, shared with tests running beside
    // this one, so only the test below looks at what it holds.
    setJumpKeySource(nullptr);
    jumpKeyDown();
    EXPECT_EQ(asked, 2);
}

TEST(JumpKey, ReadsTheSpaceBarFromTheKeyboard) {
    glwindow::open();
    if (!keypress::focusWindow()) {
        GTEST_SKIP() << "xdotool cannot focus the window on this display";
    }
    swapBuffers();
    EXPECT_FALSE(jumpKeyDown());
    auto becomes = [](bool wanted) {
        for (int i = 0; i < 100; ++i, SDL_Delay(10)) {
            if (jumpKeyDown() == wanted) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(keypress::down("space"));
    EXPECT_TRUE(becomes(true));
    keypress::up("space");
    EXPECT_TRUE(becomes(false));
}

} // namespace
