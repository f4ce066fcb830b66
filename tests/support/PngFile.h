#pragma once
// Small real PNG files for tests that load pictures (written through libpng).

#include "support/GlWindow.h"

#include <cstdint>
#include <string>
#include <vector>

// A picture as rows of pixels, top row first, each pixel 3 (RGB) or 4 (RGBA) bytes.
struct PngPicture {
    PngPicture(int w, int h, int channelCount);
    // Sets every pixel of [x, x + w) x [y, y + h); alpha is ignored for 3 channels.
    void fill(int x, int y, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              std::uint8_t a = 255);

    int width, height, channels;
    std::vector<std::uint8_t> pixels;
};

// Writes an 8-bit RGB(A) PNG, or a palette PNG when `palette` (at most 256 colours).
bool writePng(const std::string& path, const PngPicture& picture, bool palette = false);

// A colour per sprite id, distinct for ids 0 to 40 and never the magenta key.
Rgba spriteColour(int id);
// Writes "0.png" ... "<count - 1>.png" into `directory`, solid 8 x 8 in spriteColour(id).
void writeSolidSprites(const std::string& directory, int count);
