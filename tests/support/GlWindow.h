#pragma once
// A real 800x600 window with the game's 2D GL state, opened once per test process
// (SDL 1.2 has one window per process). Tests run under Xvfb with Mesa's software GL.

#include <cstdint>
#include <string>

struct Rgba {
    std::uint8_t r, g, b, a;
};

namespace glwindow {

constexpr int Width = 800;
constexpr int Height = 600;

// Opens the window and sets the GL state on first use; clears the back buffer to
// black on every call. Fails the calling test (ASSERT) when no display is available.
void open();

// The back buffer's pixel at window coordinates (origin top-left, y down).
Rgba pixel(int x, int y);

// Writes the back buffer as a PNG (through a temporary PPM and ImageMagick's convert,
// when present) under the test output directory; returns the path written.
std::string screenshot(const std::string& name);

} // namespace glwindow

inline bool operator==(const Rgba& a, const Rgba& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}
