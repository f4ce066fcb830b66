#include "bench/MinimalGl.h"

#include <GL/glu.h>
#include <SDL.h>
#include <SDL_image.h>
#include <cstdio>
#include <cstdlib>

namespace bench {

bool openWindow() {
    setenv("SDL_VIDEODRIVER", "x11", 0);
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (SDL_Init(SDL_INIT_VIDEO) == 0 && SDL_SetVideoMode(800, 600, 0, SDL_OPENGL) != nullptr) {
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluOrtho2D(0, 800, 600, 0);
            glEnable(GL_TEXTURE_2D);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            return true;
        }
        SDL_Quit();
        SDL_Delay(50);
    }
    return false;
}

GLuint loadPicture(const char* path) {
    SDL_Surface* picture = IMG_Load(path);
    if (picture == nullptr) {
        return 0;
    }
    SDL_SetAlpha(picture, 0, 255);
    SDL_Surface* rgba = SDL_CreateRGBSurface(SDL_SWSURFACE, picture->w, picture->h, 32, 0x000000FF,
                                             0x0000FF00, 0x00FF0000, 0xFF000000);
    SDL_SetColorKey(picture, SDL_SRCCOLORKEY, SDL_MapRGB(picture->format, 255, 0, 255));
    SDL_BlitSurface(picture, nullptr, rgba, nullptr);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, rgba->w, rgba->h, GL_RGBA, GL_UNSIGNED_BYTE, rgba->pixels);
    SDL_FreeSurface(rgba);
    SDL_FreeSurface(picture);
    return texture;
}

std::vector<GLuint> loadPictures(const char* directory) {
    std::vector<GLuint> textures;
    for (int i = 0;; ++i) {
        char name[512];
        std::snprintf(name, sizeof name, "%s/%i.png", directory, i);
        const GLuint texture = loadPicture(name);
        if (texture == 0) {
            return textures;
        }
        textures.push_back(texture);
    }
}

} // namespace bench
