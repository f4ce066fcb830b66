#include "support/GlWindow.h"

#include "engine/Platform.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>
#include <gtest/gtest.h>

namespace glwindow {

void open() {
    static bool opened = false;
    if (!opened) {
        // Without a display SDL would fall back to a text-mode driver, which has no OpenGL.
        setenv("SDL_VIDEODRIVER", "x11", 0);
        ASSERT_EQ(initVideo(Width, Height), 0) << "no display: " << SDL_GetError();
        setupGL(Width, Height);
        opened = true;
    }
    glColor4f(1, 1, 1, 1);
    clearScreen();
}

Rgba pixel(int x, int y) {
    unsigned char p[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glReadPixels(x, Height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Rgba{p[0], p[1], p[2], p[3]};
}

std::string rgbAt(int x, int y) {
    const Rgba p = pixel(x, y);
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", p.r, p.g, p.b);
    return text;
}

std::vector<std::uint32_t> frame() {
    std::vector<std::uint32_t> rgba(Width * Height);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (std::uint32_t& p : rgba) {
        const auto* b = reinterpret_cast<const unsigned char*>(&p);
        p = std::uint32_t(b[0]) << 16 | std::uint32_t(b[1]) << 8 | b[2];
    }
    return rgba;
}

std::string firstDifference(const std::vector<std::uint32_t>& got,
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
