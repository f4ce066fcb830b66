// Textures in a browser page. Emscripten's SDL surfaces have no colour keys and cannot be
// blitted once the GL context exists, so the key is applied here on the bytes IMG_Load gave
// (red, green, blue, alpha in memory order). WebGL 1 draws a texture whose sides are not
// powers of two as black unless it clamps at its edges and has no mipmaps: none is made, as
// the linear filter only ever reads the first level.
#include "engine/TextureUpload.h"

#include <cstring>
#include <memory>
#include <new>

bool uploadKeyed(GLuint texture, SDL_Surface* picture, Uint8 red, Uint8 green, Uint8 blue) {
    const int width = picture->w;
    const int height = picture->h;
    std::unique_ptr<unsigned char[]> rgba(
        new (std::nothrow) unsigned char[std::size_t(width) * height * 4]);
    if (!rgba || picture->format->BytesPerPixel != 4) {
        return false;
    }
    for (int y = 0; y < height; ++y) {
        const auto* from = static_cast<const unsigned char*>(picture->pixels) + y * picture->pitch;
        unsigned char* to = rgba.get() + std::size_t(y) * width * 4;
        for (int x = 0; x < width; ++x, from += 4, to += 4) {
            const bool keyed = from[0] == red && from[1] == green && from[2] == blue;
            keyed ? std::memset(to, 0, 4) : std::memcpy(to, from, 4);
        }
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.get());
    return true;
}
