// Recorded games shown instead of played: the title screen's demo, the runs kept for the
// high-score list, and --replay.

#include "game/Game.h"

#include "engine/Clock.h"
#include "game/KeptRuns.h"
#include "game/ReplayCheck.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

const char* const DemoFile = "./media/demo.replay";
constexpr float LongestPauseShown = 1.0f; // seconds
constexpr float LastFrameHeld = 1.0f;
// Real time taken per shown frame at most: a display that stalls slows the replay down
// instead of jumping ahead.
constexpr float LongestStep = 0.1f;
constexpr int MostFramesPerShownFrame = 1000;

// Reads the run at `path` and replays it without drawing: "" when it replays as recorded
// (then `recording` holds it), else why not.
std::string loadRun(const std::string& path, Recording& recording) {
    std::string problem;
    if (!readRecording(path, recording, problem)) {
        return problem;
    }
    const ReplayCheck check = checkReplay(recording);
    return check.difference.empty() ? "" : "it replays differently: " + check.difference;
}

// The run kept at `path` for a table entry of `score`, replayed without drawing: "" when it
// replays to that score (then `run` holds it), NoRunKept when there is none, else why not.
const std::string NoRunKept = "no run kept";
std::string loadKeptRun(const std::string& path, double score, Recording& run) {
    if (path.empty() || access(path.c_str(), F_OK) != 0) {
        return NoRunKept;
    }
    std::string problem = loadRun(path, run);
    if (problem.empty() && static_cast<double>(run.score) != score) {
        problem = "it holds the run of another score";
    }
    return problem;
}

} // namespace

void Game::startWatching(Recording recording, const std::string& source, Screen returnTo,
                         bool demo) {
    resetPlay();
    tape.replay(std::move(recording));
    watching = Watching{};
    watching.active = true;
    watching.demo = demo;
    watching.returnTo = returnTo;
    watching.source = source;
    watching.lastTick = ticks();
    screen = Playing;
}

void Game::stopWatching(LoopState& loop) {
    watching.active = false;
    tape.goLive();
    loop.paused = false;
    screen = watching.returnTo;
    loop.quit = loop.quit || watching.quitAfter;
}

void Game::advanceWatching(LoopState& loop) {
    loop.paused = false; // the recording holds the pauses; a live one has no place here
    const std::uint32_t now = ticks();
    watching.clock += std::min(static_cast<float>(now - watching.lastTick) * 0.001f, LongestStep);
    watching.lastTick = now;
    float time = 0;
    bool paused = false;
    for (int step = 0; step < MostFramesPerShownFrame && tape.peekFrame(time, paused); ++step) {
        const float shown = paused ? std::min(time, LongestPauseShown) : time;
        if (watching.clock < shown || !replayNextFrame()) {
            break;
        }
        watching.clock -= shown;
    }
    watching.showsPause = tape.peekFrame(time, paused) && paused;
    screen = Playing; // the last frame ends the game; its scene stays while it is held
    if (!tape.problem().empty()) {
        std::fprintf(stderr, "WARN) %s replays differently: %s\n", watching.source.c_str(),
                     tape.problem().c_str());
        stopWatching(loop);
    } else if (tape.atEnd() && watching.clock >= LastFrameHeld) {
        stopWatching(loop);
    }
}

bool Game::replayNextFrame() {
    float time = 0;
    bool paused = false;
    if (!tape.problem().empty() || !tape.nextFrame(time, paused)) {
        return false;
    }
    if (!paused) {
        advancePlaying(time);
        tape.addWork(objects.size());
        if (screen == NameEntry && !tape.atEnd()) {
            tape.goAstray("the game ends at frame " + std::to_string(tape.playFramesTaken()));
        }
    }
    return tape.problem().empty();
}

bool Game::startDemo(std::string& problem) {
    int rank = 0;
    for (auto entry = highScores.begin();
         entry != highScores.end() && rank < HighScoreTable::ShownEntries; ++entry, ++rank) {
        const std::string path = keptRunPath(highScores.path(), entry->score);
        Recording run;
        if (loadKeptRun(path, entry->score, run).empty()) {
            startWatching(std::move(run), path, Menu, true);
            return true;
        }
    }
    Recording demo;
    problem = loadRun(DemoFile, demo);
    if (!problem.empty()) {
        problem = std::string(DemoFile) + ": " + problem;
        return false;
    }
    startWatching(std::move(demo), DemoFile, Menu, true);
    return true;
}

bool Game::watchChosenRow() {
    if (highScoreRow < 0 || static_cast<std::size_t>(highScoreRow) >= highScores.size()) {
        return false;
    }
    const HighScoreEntry& entry = *(highScores.begin() + highScoreRow);
    const std::string path = keptRunPath(highScores.path(), entry.score);
    Recording run;
    const std::string problem = loadKeptRun(path, entry.score, run);
    if (problem == NoRunKept) {
        return false;
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "WARN) Cannot replay %s: %s\n", path.c_str(), problem.c_str());
        return false;
    }
    startWatching(std::move(run), path, HighScores, false);
    return true;
}
