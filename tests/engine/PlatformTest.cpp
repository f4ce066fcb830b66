// The caption, the idle wait, the jump key and the frame timer; the drawing space shows in every
// pixel test.
#include "engine/Platform.h"
#include "engine/Clock.h"
#include "engine/JumpKey.h"
#include "engine/Letterbox.h"

#include "support/AudioTools.h"
#include "support/GlWindow.h"

#include <SDL.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

#include <SDL_syswm.h> // after gtest: Xlib defines None and Bool

namespace {

TEST(Platform, TheWindowOpensCaptionedAndTheCaptionCanChange) {
    glwindow::open();
    char* caption = nullptr;
    SDL_WM_GetCaption(&caption, nullptr);
    EXPECT_STREQ(caption, "Pyrokettle");
    setCaption("Loading...");
    SDL_WM_GetCaption(&caption, nullptr);
    EXPECT_STREQ(caption, "Loading...");
}

TEST(Platform, AnIdleWaitEndsAtTheFirstEvent) {
    glwindow::open();
    for (SDL_Event queued; SDL_PollEvent(&queued);) {
    }
    std::thread later([] {
        SDL_Delay(100);
        SDL_Event event{};
        event.type = SDL_USEREVENT;
        SDL_PushEvent(&event);
    });
    const std::uint32_t start = SDL_GetTicks();
    waitForEvent(5000);
    EXPECT_LT(SDL_GetTicks() - start, 1000u);
    later.join();
}

// The space bar pressed through the X server: its state is read the moment it is asked for.
TEST(JumpKey, ReadsTheSpaceBarWhileItIsHeld) {
    glwindow::open();
    auto xdotool = [](const std::string& arguments) {
        return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
    };
    auto becomes = [](bool held) {
        return audiotest::waitUntil([held] { return jumpKeyDown() == held; }, 1000);
    };
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_EQ(SDL_GetWMInfo(&info), 1);
    // sdl12-compat has one window and leaves the window manager's one 0.
    const auto window = info.info.x11.wmwindow != 0 ? info.info.x11.wmwindow : info.info.x11.window;
    EXPECT_TRUE(becomes(false));
    // On a bare X server sdl12-compat gives every new window the focus, so another test's may
    // take it: the press is tried again then.
    bool held = false;
    for (int attempt = 0; attempt < 5 && !held; ++attempt) {
        ASSERT_TRUE(xdotool("windowfocus --sync " + std::to_string(window)));
        ASSERT_TRUE(xdotool("keydown space"));
        held = becomes(true);
        xdotool("keyup space");
    }
    EXPECT_TRUE(held);
    EXPECT_TRUE(becomes(false));
}

// In an 800x900 window the 800x600 world has bars above and below: positions on them land on
// its edge. The first window's scale follows the desktop's height (0: SDL cannot tell).
TEST(Letterbox, PositionsMapBackIntoTheWorldAndTheFirstWindowScalesWithTheDesktop) {
    for (auto [x, y, wx, wy] :
         {std::array{5, 20, 5, 0}, {400, 450, 400, 300}, {799, 899, 799, 599}}) {
        windowToWorld(letterbox(800, 900, 800, 600), 900, 800, 600, x, y);
        EXPECT_EQ(std::pair(x, y), std::pair(wx, wy));
    }
    for (auto [desktop, scale] : {std::pair{1080, 1}, {1500, 2}, {2160, 2}, {0, 1}}) {
        EXPECT_EQ(windowScale(desktop, 600), scale) << desktop;
    }
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
