// The window, the drawing space and the frame timer.
#include "engine/Clock.h"
#include "engine/Platform.h"

#include "support/GlWindow.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

namespace {

TEST(Platform, TheWindowIsCaptionedAndDrawsOnePixelPerUnitFromTheTopLeft) {
    glwindow::open();
    char* caption = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&caption, &icon);
    EXPECT_STREQ(caption, "Pyrokettle");
    setCaption("Loading...");
    SDL_WM_GetCaption(&caption, &icon);
    EXPECT_STREQ(caption, "Loading...");
    EXPECT_FALSE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);

    glDisable(GL_TEXTURE_2D);
    glRectf(3, 10, 4, 11);
    glRectf(790, 590, 800, 600);
    glEnable(GL_TEXTURE_2D);
    EXPECT_EQ(glwindow::rgbAt(3, 10), "ffffff");
    EXPECT_EQ(glwindow::rgbAt(799, 599), "ffffff");
    for (const auto& [x, y] : {std::pair{2, 10}, {4, 10}, {3, 9}, {3, 11}, {3, 589}, {789, 599}}) {
        EXPECT_EQ(glwindow::rgbAt(x, y), "000000") << x << "," << y;
    }
    clearScreen();
    EXPECT_EQ(glwindow::rgbAt(3, 10), "000000");
}

std::uint32_t fakeNow = 0;

TEST(Clock, FrameTimeIsSecondsBetweenCallsAcrossTheCounterWrap) {
    setTickSource([] { return fakeNow; });
    fakeNow = 1000;
    frameTime();
    fakeNow = 1016;
    EXPECT_FLOAT_EQ(frameTime(), 0.016f);
    fakeNow = 0xFFFFFFF8u;
    frameTime();
    fakeNow = 8; // wrapped past zero: 16 ms later
    EXPECT_FLOAT_EQ(frameTime(), 0.016f);
    EXPECT_EQ(ticks(), 8u);
    setTickSource(nullptr);
}

} // namespace
