#pragma once
// Decoding a picture that is to become a GL texture, with a limit on its size: a small
// file may claim a huge picture, and decoding one of 16000 x 16000 pixels takes a minute
// and gigabytes before GL could refuse it anyway.

#include <SDL.h>

// Pictures wider or taller than this are refused whatever GL would take.
constexpr int MaxPictureSide = 8192;

// IMG_Load, refusing a picture above MaxPictureSide or the current GL context's
// GL_MAX_TEXTURE_SIZE on either side. PNG and BMP headers are read before anything is
// decoded; other formats are checked once decoded. Null when the file does not load or is
// refused (SDL_GetError() says which); the caller owns the surface.
SDL_Surface* loadPicture(const char* path);
