// The window caption and the frame timer; the drawing space shows in every pixel test.
#include "engine/Clock.h"
#include "engine/Platform.h"

#include "support/GlWindow.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

TEST(Platform, TheWindowOpensCaptionedAndTheCaptionCanChange) {
    glwindow::open();
    char* caption = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&caption, &icon);
    EXPECT_STREQ(caption, "Pyrokettle");
    setCaption("Loading...");
    SDL_WM_GetCaption(&caption, &icon);
    EXPECT_STREQ(caption, "Loading...");
}

std::uint32_t fakeNow = 0;

TEST(Clock, FrameTimeIsSecondsBetweenCallsAcrossTheCounterWrap) {
    setTickSource([] { return fakeNow; });
    for (auto [before, after] : {std::pair{1000u, 1016u}, {0xFFFFFFF8u, 8u}}) {
        fakeNow = before;
        frameTime();
        fakeNow = after;
        EXPECT_FLOAT_EQ(frameTime(), 0.016f);
    }
    EXPECT_EQ(ticks(), 8u);
    setTickSource(nullptr);
    const std::uint32_t sdl = SDL_GetTicks(), ours = ticks();
    EXPECT_LT(ours - sdl, 1000u) << "back on SDL's clock";
}

} // namespace
