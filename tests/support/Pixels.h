#pragma once
// Colour checks on the window's back buffer that ignore the alpha byte (the window may
// have no alpha channel, so what reads back there depends on the display).

#include "support/GlWindow.h"

#include <cstdio>
#include <string>

// The pixel at window coordinates (top-left origin) as "rrggbb" in hex.
inline std::string rgbAt(int x, int y) {
    const Rgba p = glwindow::pixel(x, y);
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", p.r, p.g, p.b);
    return text;
}
