#include "engine/Platform.h"
#include "engine/JumpKey.h"

#include "support/GlWindow.h"
#include "support/KeyPress.h"
#include "support/Pixels.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <string>

namespace {

const std::string Black = "000000";
const std::string White = "ffffff";

// An untextured quad in drawing-space units.
void fillRect(float left, float top, float right, float bottom) {
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glVertex2f(left, top);
    glVertex2f(right, top);
    glVertex2f(right, bottom);
    glVertex2f(left, bottom);
    glEnd();
    glEnable(GL_TEXTURE_2D);
}

TEST(Platform, WindowOpensAtTheRequestedSizeWithTheGameCaption) {
    glwindow::open();
    const SDL_Surface* screen = SDL_GetVideoSurface();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 800);
    EXPECT_EQ(screen->h, 600);
    EXPECT_TRUE(screen->flags & SDL_OPENGL);
    EXPECT_FALSE(screen->flags & SDL_FULLSCREEN);

    char* caption = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&caption, &icon);
    ASSERT_NE(caption, nullptr);
    EXPECT_STREQ(caption, "Pyrokettle");
    EXPECT_EQ(icon, nullptr);

    EXPECT_EQ(setCaption("Loading..."), 0);
    SDL_WM_GetCaption(&caption, &icon);
    EXPECT_STREQ(caption, "Loading...");
}

TEST(Platform, DrawingSpaceIsOnePixelPerUnitFromTheTopLeft) {
    glwindow::open();
    fillRect(0, 0, 800, 600);
    for (const auto& [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}, {400, 300}}) {
        EXPECT_EQ(rgbAt(x, y), White) << x << "," << y;
    }

    clearScreen();
    // A one-unit square covers exactly one pixel, counted from the top-left corner.
    fillRect(3, 10, 4, 11);
    EXPECT_EQ(rgbAt(3, 10), White);
    EXPECT_EQ(rgbAt(2, 10), Black);
    EXPECT_EQ(rgbAt(4, 10), Black);
    EXPECT_EQ(rgbAt(3, 9), Black);
    EXPECT_EQ(rgbAt(3, 11), Black);
    EXPECT_EQ(rgbAt(3, 589), Black); // not mirrored to the bottom

    // A point at y 10 lies near the top edge.
    clearScreen();
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_POINTS);
    glVertex2f(400.5f, 10.5f);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    EXPECT_EQ(rgbAt(400, 10), White);
    EXPECT_EQ(rgbAt(400, 589), Black);
}

TEST(Platform, GlStateIsTheFixedTwoDimensionalSetup) {
    glwindow::open();
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    GLfloat clear[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
    GLdouble depth = 0;
    glGetDoublev(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_EQ(depth, 1.0);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &value);
    EXPECT_EQ(value, 1);
}

TEST(Platform, ClearScreenLeavesTheWindowBlack) {
    glwindow::open();
    fillRect(0, 0, 800, 600);
    ASSERT_EQ(rgbAt(10, 10), White);
    clearScreen();
    for (const auto& [x, y] : {std::pair{0, 0}, {799, 599}, {400, 300}, {10, 10}}) {
        EXPECT_EQ(rgbAt(x, y), Black) << x << "," << y;
    }
}

TEST(Platform, AudioOpensSigned16BitLittleEndian) {
    // Needs SDL started; the window brings the audio subsystem along.
    glwindow::open();
    ASSERT_EQ(initAudio(22050, 2), 0) << Mix_GetError();
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    ASSERT_NE(Mix_QuerySpec(&frequency, &format, &channels), 0);
    EXPECT_EQ(frequency, 22050);
    EXPECT_EQ(format, AUDIO_S16LSB);
    EXPECT_EQ(channels, 2);
    Mix_CloseAudio();
}

bool held = false;
bool heldKey() {
    return held;
}

TEST(JumpKey, SeamReplacesTheKeyboardUntilReset) {
    glwindow::open();
    setJumpKeySource(heldKey);
    held = true;
    EXPECT_TRUE(jumpKeyDown());
    held = false;
    EXPECT_FALSE(jumpKeyDown());
    setJumpKeySource(nullptr);
    EXPECT_FALSE(jumpKeyDown()); // nothing is held on the real keyboard
}

TEST(JumpKey, ReadsTheSpaceBarFromTheKeyboard) {
    glwindow::open();
    if (!keypress::focusWindow()) {
        GTEST_SKIP() << "xdotool cannot focus the window on this display";
    }
    swapBuffers();
    EXPECT_FALSE(jumpKeyDown());
    ASSERT_TRUE(keypress::down("space"));
    bool down = false;
    for (int i = 0; i < 100 && !down; ++i) {
        SDL_Delay(10);
        down = jumpKeyDown();
    }
    keypress::up("space");
    EXPECT_TRUE(down);
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        SDL_Delay(10);
        up = !jumpKeyDown();
    }
    EXPECT_TRUE(up);
}

} // namespace
