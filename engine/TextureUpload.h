#pragma once
// The way every picture takes into a GL texture: its pixels copied into the byte order GL
// reads, with one colour keyed out, then uploaded with linear filtering.

#include <GL/gl.h>
#include <SDL.h>

// Makes `texture` from `picture`: pixels of exactly (red, green, blue) become fully
// transparent black, every other pixel keeps its colour and alpha (opaque when the picture
// has no alpha channel). A palette picture has the key only when its palette holds exactly
// that colour. Any size is accepted. Returns false, uploading nothing, when there is no
// memory for the copy. The picture's colour key and blending settings may change.
bool uploadKeyed(GLuint texture, SDL_Surface* picture, Uint8 red, Uint8 green, Uint8 blue);
