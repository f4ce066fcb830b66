#pragma once
// Replaying a recording without a window, as fast as it goes: the whole-game check.

#include "game/Recording.h"

#include <string>

struct ReplayCheck {
    float score = 0;          // the score the replay ends with
    std::uint32_t frames = 0; // frames that reached the update
    // "" when the replay ends its last frame in game over with every draw used and the
    // recorded score; otherwise how it differs.
    std::string difference;
};

ReplayCheck checkReplay(const Recording& recording);

// Reads and checks a recording, then prints "Final Score: <score>" on standard output.
// Returns 0 when it replays as recorded, 1 when it differs (one "FAIL) <file> replays
// differently: <how>" line on standard error), 2 when it cannot be read (one "FAIL) Cannot
// replay <file>: <why>" line, nothing on standard output).
int verifyRecordingFile(const std::string& path);
