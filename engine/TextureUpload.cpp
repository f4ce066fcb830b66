#include "engine/TextureUpload.h"

#include <GL/glu.h>

SDL_Surface* createRgbaSurface(int width, int height) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x000000FF,
                                                0x0000FF00, 0x00FF0000, 0xFF000000);
    if (surface != nullptr) {
        // Key pixels are skipped by the blit, so they must start fully transparent black.
        SDL_FillRect(surface, nullptr, 0);
    }
    return surface;
}

void uploadMipmapped(GLuint texture, SDL_Surface* rgba) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    SDL_LockSurface(rgba);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, rgba->w, rgba->h, GL_RGBA, GL_UNSIGNED_BYTE, rgba->pixels);
    SDL_UnlockSurface(rgba);
}
