#pragma once
// Opening one WAV sound effect for the mixer.

#include <SDL_mixer.h>

// The file as a mixer chunk, or null when it is missing, unreadable, or in any format but
// plain 8- or 16-bit PCM (see isConvertibleWav). Needs the audio device open. Prints nothing.
Mix_Chunk* loadWav(const char* path);
