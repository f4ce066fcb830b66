#pragma once
// The steps every picture takes on its way into a GL texture: a work surface in the byte order
// GL reads, then the upload; and the textures made again when SDL replaces the GL context.

#include <GL/gl.h>
#include <SDL.h>

// An empty (transparent black) surface whose bytes are red, green, blue, alpha in memory
// order: what GL_RGBA/GL_UNSIGNED_BYTE reads. Null when it cannot be made.
SDL_Surface* createRgbaSurface(int width, int height);

// Such a surface holding `picture` with (red, green, blue) keyed out: those pixels transparent
// black, all others their colour and alpha (opaque when the picture has no alpha channel).
// Changes the picture's own alpha and key settings. Null when there is no memory for it.
SDL_Surface* keyedRgbaCopy(SDL_Surface* picture, Uint8 red, Uint8 green, Uint8 blue);

// Uploads such a surface into the texture with linear filtering and GLU's mipmaps. GLU
// rescales to power-of-two sizes, so pictures of any size are accepted.
void uploadMipmapped(GLuint texture, SDL_Surface* rgba);

// A texture made from a picture file is remembered with the file and its key colour until it
// is forgotten, so that it can be made again under the same name in a new GL context.
void rememberPicture(GLuint texture, const char* file, Uint8 red, Uint8 green, Uint8 blue);
void forgetPicture(GLuint texture);

// When the current GL context does not know the remembered textures (SDL made a new one),
// makes each again from its file, which must still load; one that does not stays empty after
// "WARN) Could not load <file> again for the new GL context" on standard error. Returns how
// many were made again (0 in a context that knows them).
int remakeLostTextures();
