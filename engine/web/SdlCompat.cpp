// What Emscripten's SDL 1.2 leaves out, filled in for the desktop sources (see SdlCompat.h).
#include "engine/web/SdlCompat.h"

// It keeps no per-type switches: every event is queued, and the game passes over those it
// does not read.
extern "C" Uint8 SDL_EventState(Uint32, int) {
    return SDL_ENABLE;
}
