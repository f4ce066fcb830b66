#pragma once
// The millisecond clock and the frame timer.
//
// The frame timer is process-wide state of one value: the clock reading taken by the
// previous frameTime() call, 0 when the process starts.

#include <cstdint>

// Milliseconds since SDL start-up (unsigned, wraps after about 49.7 days).
std::uint32_t ticks();

// Seconds since the previous call, from the unsigned 32-bit difference of two clock
// readings, so it stays small and positive across the counter's wrap. The first call
// of the process returns the seconds since SDL start-up.
float frameTime();

// Milliseconds since SDL start-up on SDL's own clock, which the tick source below does not
// replace: for pacing frames in real time.
std::uint32_t realTicks();

// Test seam: replaces the clock that ticks() and frameTime() read. Pass nullptr to go
// back to SDL_GetTicks.
using TickSource = std::uint32_t (*)();
void setTickSource(TickSource source);
