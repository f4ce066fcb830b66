#include "game/ReplayCheck.h"

#include "game/Game.h"

#include <cstdio>

ReplayCheck checkReplay(const Recording& recording) {
    Game game;              // no window, no media: the update alone
    game.screenWidth = 800; // the window every game is played in
    game.screenHeight = 600;
    game.screen = Playing;
    game.tape.replay(recording);
    while (game.replayNextFrame()) {
    }
    ReplayCheck check;
    check.score = game.score;
    check.frames = game.tape.playFramesTaken();
    check.difference = game.tape.problem();
    if (!check.difference.empty()) {
        return check; // the tape's own account of where the replay went astray
    }
    char text[160] = "";
    if (game.screen != NameEntry) {
        std::snprintf(text, sizeof text, "the game is not over after its %u frames", check.frames);
    } else if (game.tape.drawsLeft() != 0) {
        std::snprintf(text, sizeof text, "draws left over: %u", game.tape.drawsLeft());
    } else if (game.score != recording.score) {
        std::snprintf(text, sizeof text, "it ends with %.0f, recorded %.0f",
                      static_cast<double>(game.score), static_cast<double>(recording.score));
    }
    check.difference = text;
    return check;
}

int verifyRecordingFile(const std::string& path) {
    Recording recording;
    std::string problem;
    if (!readRecording(path, recording, problem)) {
        std::fprintf(stderr, "FAIL) Cannot replay %s: %s\n", path.c_str(), problem.c_str());
        return 2;
    }
    const ReplayCheck check = checkReplay(recording);
    std::printf("Final Score: %.0f\n", static_cast<double>(check.score));
    if (!check.difference.empty()) {
        std::fprintf(stderr, "FAIL) %s replays differently: %s\n", path.c_str(),
                     check.difference.c_str());
        return 1;
    }
    return 0;
}
