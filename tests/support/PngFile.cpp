#include "support/PngFile.h"

#include <algorithm>
#include <png.h>

PngPicture::PngPicture(int w, int h, int channelCount)
    : width(w), height(h), channels(channelCount),
      pixels(static_cast<size_t>(w) * static_cast<size_t>(h) * static_cast<size_t>(channelCount),
             0) {}

void PngPicture::set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    std::uint8_t* p =
        &pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) *
                static_cast<size_t>(channels)];
    p[0] = r;
    p[1] = g;
    p[2] = b;
    if (channels == 4) {
        p[3] = a;
    }
}

void PngPicture::fill(int x, int y, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                      std::uint8_t a) {
    for (int row = y; row < y + h; ++row) {
        for (int column = x; column < x + w; ++column) {
            set(column, row, r, g, b, a);
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
        return png_image_write_to_file(&image, path.c_str(), 0, picture.pixels.data(), 0,
                                       nullptr) != 0;
    }

    // Index every distinct colour into a colour map of the same pixel format.
    std::vector<std::uint8_t> colours;
    std::vector<std::uint8_t> indexes;
    const size_t n = static_cast<size_t>(picture.channels);
    for (size_t p = 0; p < picture.pixels.size(); p += n) {
        size_t index = 0;
        while (index * n < colours.size() &&
               !std::equal(&picture.pixels[p], &picture.pixels[p] + n, &colours[index * n])) {
            ++index;
        }
        if (index * n == colours.size()) {
            colours.insert(colours.end(), &picture.pixels[p], &picture.pixels[p] + n);
        }
        indexes.push_back(static_cast<std::uint8_t>(index));
    }
    if (colours.size() / n > 256) {
        return false;
    }
    image.format |= PNG_FORMAT_FLAG_COLORMAP;
    image.colormap_entries = static_cast<png_uint_32>(colours.size() / n);
    return png_image_write_to_file(&image, path.c_str(), 0, indexes.data(), 0, colours.data()) != 0;
}
