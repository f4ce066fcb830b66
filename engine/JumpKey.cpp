#include "engine/JumpKey.h"

#include <SDL.h>

namespace {

bool keyboardSpaceDown() {
    SDL_PumpEvents();
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    return keys != nullptr && SDLK_SPACE < count && keys[SDLK_SPACE] != 0;
}

JumpKeySource jumpKeySource = keyboardSpaceDown;

} // namespace

bool jumpKeyDown() {
    return jumpKeySource();
}

void setJumpKeySource(JumpKeySource source) {
    jumpKeySource = source != nullptr ? source : keyboardSpaceDown;
}
