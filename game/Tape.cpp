#include "game/Tape.h"

#include "engine/JumpKey.h"

#include <cstdio>
#include <cstdlib>

void Tape::record() {
    mode_ = Mode::Record;
    tape_ = Recording{};
    finished_ = false;
}

void Tape::replay(Recording recording) {
    mode_ = Mode::Replay;
    tape_ = std::move(recording);
    finished_ = false;
    frame_ = 0;
    flags_ = 0;
    drawAt_ = 0;
    drawsTaken_ = 0;
    playFrames_ = 0;
    work_ = 0;
    problem_.clear();
}

int Tape::randomBelow(int choices) {
    if (mode_ != Mode::Replay) {
        const int value = std::rand() % choices;
        if (mode_ == Mode::Record) {
            tape_.addDraw(static_cast<std::uint32_t>(value));
        }
        return value;
    }
    std::uint32_t value = 0;
    if (drawsTaken_ == tape_.drawCount || !readDraw(tape_.draws, drawAt_, value)) {
        goAstray("the draws run out at frame " + std::to_string(playFrames_));
        return 0;
    }
    ++drawsTaken_;
    if (value >= static_cast<std::uint32_t>(choices)) {
        goAstray("draw " + std::to_string(drawsTaken_) + " is " + std::to_string(value) +
                 ", not one of its " + std::to_string(choices) + " choices");
        return 0;
    }
    return static_cast<int>(value);
}

bool Tape::flyHeld() {
    if (mode_ == Mode::Live) {
        return jumpKeyDown();
    }
    const std::uint8_t bit = queries_++ == 0 ? Recording::FlyFirst : Recording::FlySecond;
    if (mode_ == Mode::Replay) {
        return (flags_ & bit) != 0;
    }
    const bool held = jumpKeyDown();
    if (held && !tape_.flags.empty()) {
        tape_.flags.back() |= bit;
    }
    return held;
}

void Tape::recordFrame(float time) {
    if (mode_ != Mode::Record) {
        return;
    }
    if (tape_.times.size() >= Recording::MaxFrames ||
        tape_.draws.size() >= Recording::MaxDrawBytes) {
        std::fprintf(stderr, "WARN) This game is too long to record; it will not be kept\n");
        mode_ = Mode::Live;
        tape_ = Recording{};
        return;
    }
    tape_.times.push_back(time);
    tape_.flags.push_back(0);
    queries_ = 0;
}

void Tape::recordPause(std::uint32_t now) {
    if (mode_ == Mode::Record && !tape_.flags.empty() && (tape_.flags.back() & Recording::Paused)) {
        tape_.times.back() = static_cast<float>(now - pauseStart_) * 0.001f;
    } else if (mode_ == Mode::Record) {
        pauseStart_ = now;
        recordFrame(0.0f);
        if (mode_ == Mode::Record) {
            tape_.flags.back() = Recording::Paused;
        }
    }
}

void Tape::finish(float score) {
    if (mode_ == Mode::Record) {
        tape_.score = score;
        finished_ = true;
        mode_ = Mode::Live;
    }
}

bool Tape::peekFrame(float& time, bool& paused) const {
    if (mode_ != Mode::Replay || atEnd()) {
        return false;
    }
    time = tape_.times[frame_];
    paused = (tape_.flags[frame_] & Recording::Paused) != 0;
    return true;
}

bool Tape::nextFrame(float& time, bool& paused) {
    if (!peekFrame(time, paused)) {
        return false;
    }
    flags_ = tape_.flags[frame_++];
    queries_ = 0;
    playFrames_ += paused ? 0 : 1;
    return true;
}

void Tape::goAstray(const std::string& problem) {
    if (problem_.empty()) {
        problem_ = problem;
    }
}

void Tape::addWork(std::size_t objects) {
    work_ += objects;
    if (work_ > 1000000000) {
        goAstray("too much to replay by frame " + std::to_string(playFrames_));
    }
}
