#include "engine/TextureUpload.h"

#include "engine/ColourKey.h"
#include "engine/PictureLoad.h"

#include <GL/glu.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

struct PictureSource {
    std::string file;
    Uint8 red, green, blue;
};

// By texture name, for the whole process, like the textures themselves.
std::map<GLuint, PictureSource>& remembered() {
    static std::map<GLuint, PictureSource> sources;
    return sources;
}

} // namespace

SDL_Surface* createRgbaSurface(int width, int height) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x000000FF,
                                                0x0000FF00, 0x00FF0000, 0xFF000000);
    if (surface != nullptr) {
        // Key pixels are skipped by the blit, so they must start fully transparent black.
        SDL_FillRect(surface, nullptr, 0);
    }
    return surface;
}

SDL_Surface* keyedRgbaCopy(SDL_Surface* picture, Uint8 red, Uint8 green, Uint8 blue) {
    // Without per-surface blending the blit copies the picture's own pixels (alpha included)
    // instead of mixing them into the empty work surface.
    SDL_SetAlpha(picture, 0, 255);
    SDL_Surface* work = createRgbaSurface(picture->w, picture->h);
    if (work != nullptr) {
        setColourKey(picture, red, green, blue);
        SDL_BlitSurface(picture, nullptr, work, nullptr);
    }
    return work;
}

void uploadMipmapped(GLuint texture, SDL_Surface* rgba) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    SDL_LockSurface(rgba);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, rgba->w, rgba->h, GL_RGBA, GL_UNSIGNED_BYTE, rgba->pixels);
    SDL_UnlockSurface(rgba);
}

void rememberPicture(GLuint texture, const char* file, Uint8 red, Uint8 green, Uint8 blue) {
    remembered()[texture] = PictureSource{file, red, green, blue};
}

void forgetPicture(GLuint texture) {
    remembered().erase(texture);
}

int remakeLostTextures() {
    auto& sources = remembered();
    if (sources.empty() || glIsTexture(sources.begin()->first) == GL_TRUE) {
        return 0;
    }
    int made = 0;
    for (const auto& [texture, source] : sources) {
        SDL_Surface* picture = loadPicture(source.file.c_str());
        SDL_Surface* work = picture != nullptr
                                ? keyedRgbaCopy(picture, source.red, source.green, source.blue)
                                : nullptr;
        if (work == nullptr) {
            std::fprintf(stderr, "WARN) Could not load %s again for the new GL context\n",
                         source.file.c_str());
        } else {
            // Binding a name the new context has not made yet makes it there.
            uploadMipmapped(texture, work);
            ++made;
        }
        SDL_FreeSurface(work);
        SDL_FreeSurface(picture);
    }
    return made;
}
