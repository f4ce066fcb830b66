#pragma once
// Small real PNG files for tests that load pictures (written through libpng).

#include "support/GlWindow.h"

#include <algorithm>
#include <cstdint>
#include <png.h>
#include <string>
#include <vector>

// A picture as rows of pixels, top row first, each pixel 3 (RGB) or 4 (RGBA) bytes.
struct PngPicture {
    PngPicture(int w, int h, int channelCount)
        : width(w), height(h), channels(channelCount), pixels(std::size_t(w) * h * channelCount) {}
    // Sets every pixel of [x, x + w) x [y, y + h); alpha is ignored for 3 channels.
    void fill(int x, int y, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              std::uint8_t a = 255) {
        const std::uint8_t value[4] = {r, g, b, a};
        for (int row = y; row < y + h; ++row) {
            for (int column = x; column < x + w; ++column) {
                std::copy_n(value, channels,
                            &pixels[(std::size_t(row) * width + column) * channels]);
            }
        }
    }

    int width, height, channels;
    std::vector<std::uint8_t> pixels;
};

// Writes an 8-bit RGB(A) PNG, or a palette PNG when `palette` (at most 256 colours).
inline bool writePng(const std::string& path, const PngPicture& picture, bool palette = false) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = picture.channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    if (!palette) {
        return png_image_write_to_file(&image, path.c_str(), 0, picture.pixels.data(), 0, nullptr);
    }
    const std::size_t n = static_cast<std::size_t>(picture.channels); // index each colour
    std::vector<std::uint8_t> colours, indexes;
    for (auto p = picture.pixels.begin(); p != picture.pixels.end(); p += n) {
        std::size_t index = 0;
        while (index * n < colours.size() && !std::equal(p, p + n, &colours[index * n])) {
            ++index;
        }
        if (index * n == colours.size()) {
            colours.insert(colours.end(), p, p + n);
        }
        indexes.push_back(static_cast<std::uint8_t>(index));
    }
    image.format |= PNG_FORMAT_FLAG_COLORMAP;
    image.colormap_entries = static_cast<png_uint_32>(colours.size() / n);
    return colours.size() / n <= 256 &&
           png_image_write_to_file(&image, path.c_str(), 0, indexes.data(), 0, colours.data());
}

// A colour per sprite id, distinct for ids 0 to 40 and never the magenta key.
inline Rgba spriteColour(int id) {
    return Rgba{std::uint8_t(40 + 5 * id), std::uint8_t(250 - 6 * id), std::uint8_t(id * 37 % 200),
                255};
}

// Writes "0.png" ... "<count - 1>.png" into `directory`, solid 8 x 8 in spriteColour(id).
inline void writeSolidSprites(const std::string& directory, int count) {
    for (int id = 0; id < count; ++id) {
        PngPicture picture(8, 8, 3);
        picture.fill(0, 0, 8, 8, spriteColour(id).r, spriteColour(id).g, spriteColour(id).b);
        writePng(directory + "/" + std::to_string(id) + ".png", picture);
    }
}
