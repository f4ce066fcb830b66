#include "engine/TextureUpload.h"

#include "engine/ColourKey.h"

#include <GL/glu.h>

namespace {

// An empty (transparent black) surface whose bytes are red, green, blue, alpha in memory
// order: what GL_RGBA/GL_UNSIGNED_BYTE reads. Null when it cannot be made.
SDL_Surface* createRgbaSurface(int width, int height) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x000000FF,
                                                0x0000FF00, 0x00FF0000, 0xFF000000);
    if (surface != nullptr) {
        // Key pixels are skipped by the blit, so they must start fully transparent black.
        SDL_FillRect(surface, nullptr, 0);
    }
    return surface;
}

} // namespace

bool uploadKeyed(GLuint texture, SDL_Surface* picture, Uint8 red, Uint8 green, Uint8 blue) {
    SDL_Surface* rgba = createRgbaSurface(picture->w, picture->h);
    if (rgba == nullptr) {
        return false;
    }
    // Without per-surface blending the blit copies the picture's own pixels (alpha included)
    // instead of mixing them into the empty work surface.
    SDL_SetAlpha(picture, 0, 255);
    setColourKey(picture, red, green, blue);
    SDL_BlitSurface(picture, nullptr, rgba, nullptr);

    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    SDL_LockSurface(rgba);
    // GLU rescales to power-of-two sizes; with the linear filter only the first level is seen.
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, rgba->w, rgba->h, GL_RGBA, GL_UNSIGNED_BYTE, rgba->pixels);
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);
    return true;
}
