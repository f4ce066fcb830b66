#include "support/PngFile.h"

#include <algorithm>
#include <png.h>

PngPicture::PngPicture(int w, int h, int channelCount)
    : width(w), height(h), channels(channelCount), pixels(std::size_t(w) * h * channelCount, 0) {}

void PngPicture::fill(int x, int y, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                      std::uint8_t a) {
    const std::uint8_t value[4] = {r, g, b, a};
    for (int row = y; row < y + h; ++row) {
        for (int column = x; column < x + w; ++column) {
            std::copy_n(value, channels, &pixels[(std::size_t(row) * width + column) * channels]);
        }
    }
}

bool writePng(const std::string& path, const PngPicture& picture, bool palette) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = picture.channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    if (!palette) {
        return png_image_write_to_file(&image, path.c_str(), 0, picture.pixels.data(), 0, nullptr);
    }
    // Index every distinct colour into a colour map of the same pixel format.
    const std::size_t n = static_cast<std::size_t>(picture.channels);
    std::vector<std::uint8_t> colours, indexes;
    for (std::size_t p = 0; p < picture.pixels.size(); p += n) {
        std::size_t index = 0;
        while (index * n < colours.size() &&
               !std::equal(&picture.pixels[p], &picture.pixels[p] + n, &colours[index * n])) {
            ++index;
        }
        if (index * n == colours.size()) {
            colours.insert(colours.end(), &picture.pixels[p], &picture.pixels[p] + n);
        }
        indexes.push_back(static_cast<std::uint8_t>(index));
    }
    image.format |= PNG_FORMAT_FLAG_COLORMAP;
    image.colormap_entries = static_cast<png_uint_32>(colours.size() / n);
    return colours.size() / n <= 256 &&
           png_image_write_to_file(&image, path.c_str(), 0, indexes.data(), 0, colours.data());
}

Rgba spriteColour(int id) {
    return Rgba{std::uint8_t(40 + 5 * id), std::uint8_t(250 - 6 * id), std::uint8_t(id * 37 % 200),
                255};
}

void writeSolidSprites(const std::string& directory, int count) {
    for (int id = 0; id < count; ++id) {
        PngPicture picture(8, 8, 3);
        const Rgba c = spriteColour(id);
        picture.fill(0, 0, 8, 8, c.r, c.g, c.b);
        writePng(directory + "/" + std::to_string(id) + ".png", picture);
    }
}
