#pragma once
// The two steps every picture takes on its way into a GL texture: a work surface in the
// byte order GL reads, then the upload.

#include <GL/gl.h>
#include <SDL.h>

// An empty (transparent black) surface whose bytes are red, green, blue, alpha in memory
// order: what GL_RGBA/GL_UNSIGNED_BYTE reads. Null when it cannot be made.
SDL_Surface* createRgbaSurface(int width, int height);

// Uploads such a surface into the texture with linear filtering and GLU's mipmaps. GLU
// rescales to power-of-two sizes, so pictures of any size are accepted.
void uploadMipmapped(GLuint texture, SDL_Surface* rgba);
