#pragma once
// Included first in every engine source of the browser build, so that the desktop sources
// compile as they are: Emscripten's SDL headers name SDL 1.2's key state function the SDL 2
// way (its library's SDL_GetKeyState ignores the count asked for), and SdlCompat.cpp defines
// what its library lacks.
#include <SDL.h>

#define SDL_GetKeyState SDL_GetKeyboardState
