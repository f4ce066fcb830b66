#pragma once
// The transparent colour of a picture about to be copied into an RGBA work surface.

#include <SDL.h>

// Makes (red, green, blue) the surface's colour key, so a blit skips those pixels. A
// palette surface gets the key only when its palette holds exactly that colour: SDL_MapRGB
// would otherwise pick the nearest entry and key out a colour the picture really uses.
void setColourKey(SDL_Surface* surface, Uint8 red, Uint8 green, Uint8 blue);
