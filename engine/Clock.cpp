#include "engine/Clock.h"

#include <SDL.h>

namespace {

TickSource tickSource = realTicks;
std::uint32_t previousTicks = 0;

} // namespace

std::uint32_t realTicks() {
    return SDL_GetTicks();
}

std::uint32_t ticks() {
    return tickSource();
}

float frameTime() {
    const std::uint32_t now = tickSource();
    const std::uint32_t elapsed = now - previousTicks;
    const float seconds = static_cast<float>(elapsed) * 0.001f;
    previousTicks = now;
    return seconds;
}

void setTickSource(TickSource source) {
    tickSource = source != nullptr ? source : realTicks;
}
