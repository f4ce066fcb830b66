#pragma once
// Writes small real PNG files for tests that load pictures (through libpng).

#include <cstdint>
#include <string>
#include <vector>

// A picture as rows of pixels, top row first, each pixel 3 (RGB) or 4 (RGBA) bytes.
struct PngPicture {
    int width = 0;
    int height = 0;
    int channels = 4;
    std::vector<std::uint8_t> pixels;

    PngPicture(int w, int h, int channelCount);
    // Sets one pixel; alpha is ignored for 3-channel pictures.
    void set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255);
    // Sets every pixel of the rectangle [x, x + w) x [y, y + h).
    void fill(int x, int y, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              std::uint8_t a = 255);
};

// Writes the picture to `path` as an 8-bit RGB or RGBA PNG, or as a palette PNG when
// `palette` is true (at most 256 distinct colours). Returns false when libpng fails.
bool writePng(const std::string& path, const PngPicture& picture, bool palette = false);
