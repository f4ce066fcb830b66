#pragma once
// A real 800x600 window with the game's 2D GL state, opened once per process (SDL 1.2 has one
// window per process), and its back buffer read back; tests run under Xvfb with Mesa.

#include "engine/Platform.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

struct Rgba {
    std::uint8_t r, g, b, a;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

namespace glwindow {

constexpr int Width = 800;
constexpr int Height = 600;

// Opens the window on first use (ASSERT: fails without a display); clears to black every call.
inline void open() {
    static bool opened = false;
    if (!opened) {
        setenv("SDL_VIDEODRIVER", "x11", 0); // text-mode fallbacks have no OpenGL
        ASSERT_EQ(initVideo(Width, Height, {false, Width, Height}), 0)
            << "no display: " << SDL_GetError();
        setupGL(Width, Height);
        opened = true;
    }
    glColor4f(1, 1, 1, 1);
    clearScreen();
}

// The back buffer's pixel at window coordinates (origin top-left, y down).
inline Rgba pixel(int x, int y) {
    Rgba p{0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glReadPixels(x, Height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
    return p;
}

// The same as "rrggbb", for readable failures.
inline std::string rgbAt(int x, int y) {
    const Rgba p = pixel(x, y);
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", p.r, p.g, p.b);
    return text;
}

// The whole back buffer as 0xRRGGBB values, bottom row first: for comparing two frames.
inline std::vector<std::uint32_t> frame() {
    std::vector<std::uint32_t> pixels(Width * Height);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, Width, Height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    for (std::uint32_t& p : pixels) {
        p &= 0xFFFFFF;
    }
    return pixels;
}

// "" when two frames are equal, else where they first differ and how.
inline std::string firstDifference(const std::vector<std::uint32_t>& got,
                                   const std::vector<std::uint32_t>& want) {
    for (std::size_t i = 0; i < got.size() && i < want.size(); ++i) {
        if (got[i] != want[i]) {
            char text[80];
            std::snprintf(text, sizeof text, "at (%d, %d): %06x, not %06x", int(i % Width),
                          Height - 1 - int(i / Width), got[i], want[i]);
            return text;
        }
    }
    return got.size() == want.size() ? "" : "frames of different sizes";
}

} // namespace glwindow
