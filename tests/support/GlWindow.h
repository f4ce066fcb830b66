#pragma once
// A real 800x600 window with the game's 2D GL state, opened once per test process (SDL 1.2
// has one window per process). Tests run under Xvfb with Mesa's software GL.

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    std::uint8_t r, g, b, a;
};

inline bool operator==(const Rgba& x, const Rgba& y) {
    return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a;
}

namespace glwindow {

constexpr int Width = 800;
constexpr int Height = 600;

// Opens the window and sets the GL state on first use; clears the back buffer to black on
// every call. Fails the calling test (ASSERT) when no display is available.
void open();

// The back buffer's pixel at window coordinates (origin top-left, y down).
Rgba pixel(int x, int y);
// The same as "rrggbb", for readable failure messages.
std::string rgbAt(int x, int y);
// The whole back buffer as 0xRRGGBB values, bottom row first: for comparing two frames.
std::vector<std::uint32_t> frame();
// "" when two frames are equal, else where they first differ and how.
std::string firstDifference(const std::vector<std::uint32_t>& got,
                            const std::vector<std::uint32_t>& want);

} // namespace glwindow
