#pragma once
// A look at a WAV file's format chunk before it is handed to SDL_mixer: SDL 1.2 trusts
// that chunk, and its converter crashes on formats it cannot handle (0 channels, a rate of
// 0 or 1, ADPCM with no block size).

#include <SDL.h>

// True when `stream` holds "RIFF", a size, "WAVE", then (after any "fact" or "LIST"
// chunks, as SDL reads them) a "fmt " chunk of plain PCM: 8 or 16 bits, 1 or 2 channels,
// 4,000 to 192,000 frames a second, and a block size of one frame. Otherwise false, with
// SDL_GetError() saying so. The stream is left where it was.
bool isConvertibleWav(SDL_RWops* stream);
