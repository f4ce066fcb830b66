#include "engine/PictureLoad.h"

#include "engine/ByteOrder.h"

#include <GL/gl.h>
#include <SDL_image.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

long long magnitude(Uint32 bits) {
    const long long value = static_cast<Sint32>(bits); // BMP sizes are signed
    return value < 0 ? -value : value;
}

int largestSide() {
    GLint most = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
    return most > 0 ? std::min<int>(most, MaxPictureSide) : MaxPictureSide;
}

// The size a PNG or BMP header claims; false for a file that starts like neither.
bool claimedSize(const char* path, long long& width, long long& height) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    unsigned char head[26] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (got >= 24 && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0 &&
        std::memcmp(head + 12, "IHDR", 4) == 0) {
        width = bigEndian32(head + 16);
        height = bigEndian32(head + 20);
        return true;
    }
    if (got >= 26 && head[0] == 'B' && head[1] == 'M') {
        if (littleEndian32(head + 14) == 12) { // the old OS/2 header: 16-bit sizes
            width = head[18] | (head[19] << 8);
            height = head[20] | (head[21] << 8);
        } else {
            width = magnitude(littleEndian32(head + 18));
            height = magnitude(littleEndian32(head + 22));
        }
        return true;
    }
    return false;
}

// Null, with SDL_GetError() saying why (formatted here: SDL 1.2's own formatting knows no
// long long).
SDL_Surface* refuse(const char* path, long long width, long long height, int most) {
    char reason[256];
    std::snprintf(reason, sizeof reason, "%s has %lldx%lld pixels, more than %i on a side", path,
                  width, height, most);
    SDL_SetError("%s", reason);
    return nullptr;
}

} // namespace

SDL_Surface* loadPicture(const char* path) {
    const int most = largestSide();
    long long width = 0;
    long long height = 0;
    if (claimedSize(path, width, height) && (width > most || height > most)) {
        return refuse(path, width, height, most);
    }
    SDL_Surface* picture = IMG_Load(path);
    if (picture != nullptr && (picture->w > most || picture->h > most)) {
        width = picture->w;
        height = picture->h;
        SDL_FreeSurface(picture);
        return refuse(path, width, height, most);
    }
    return picture;
}
