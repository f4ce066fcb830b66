#pragma once
// What a game in progress takes from outside itself besides its frame times: the fly
// button and the C generator's draws. Live, they come from the player and from rand(), and
// while a game is recorded each value is also written down; while a recording is replayed
// they come from it instead.
//
// The music's draw is not taken here: it never changes the game, and the values the game
// got after it are recorded all the same.

#include "game/Recording.h"

#include <string>

class Tape {
  public:
    enum class Mode { Live, Record, Replay };

    // Live play; whatever was recorded stays readable until the next record().
    void goLive() { mode_ = Mode::Live; }
    // Starts a fresh recording: from now on frames and draws are written down.
    void record();
    // Starts replaying `recording` from its first frame.
    void replay(Recording recording);

    // One draw of the C generator, as 0 to choices - 1 (choices > 0): live, rand() % choices,
    // exactly as every random choice of the game is made. Replaying, the next recorded
    // value; when there is none, or it does not fit, the replay has gone astray (problem())
    // and 0 stands in.
    int randomBelow(int choices);
    // The fly button now (jumpKeyDown()), or as it was at the same query of the recorded frame.
    bool flyHeld();

    // Recording: a frame whose update gets `time` seconds begins. A game too long to record
    // (Recording::MaxFrames, MaxDrawBytes) goes on live after one "WARN) This game is too
    // long to record; it will not be kept" line on standard error.
    void recordFrame(float time);
    // Recording: a paused frame at `now` (ticks()); a whole pause is one frame, whose time
    // is how long it lasted.
    void recordPause(std::uint32_t now);
    // Recording: the game is over with `score`; nothing more is written.
    void finish(float score);
    // A recording that reached game over, ready to keep.
    bool finished() const { return finished_; }
    const Recording& recording() const { return tape_; }

    // Replaying: the next frame's time and whether it is a pause, without taking it; false
    // after the last frame.
    bool peekFrame(float& time, bool& paused) const;
    // Replaying: takes the next frame; false after the last one.
    bool nextFrame(float& time, bool& paused);
    // Replaying: frames taken that reached the update, and the draws not used yet.
    std::uint32_t playFramesTaken() const { return playFrames_; }
    std::uint32_t drawsLeft() const { return tape_.drawCount - drawsTaken_; }
    bool atEnd() const { return frame_ >= tape_.times.size(); }
    // Replaying: counts the objects a frame moved. Past a billion in all the replay goes
    // astray: no game played live gets there, and a forged recording must not keep the
    // game busy for hours.
    void addWork(std::size_t objects);
    // How the replay went astray, or "" while it follows its recording.
    const std::string& problem() const { return problem_; }
    void goAstray(const std::string& problem);

  private:
    Mode mode_ = Mode::Live;
    Recording tape_;
    bool finished_ = false;
    std::uint32_t pauseStart_ = 0; // recording: ticks() at the current pause's first frame
    std::size_t frame_ = 0;        // replaying: the next frame
    std::uint8_t flags_ = 0;       // replaying: the current frame's
    int queries_ = 0;              // fly queries in the current frame
    std::size_t drawAt_ = 0;       // replaying: next draw's byte
    std::uint32_t drawsTaken_ = 0, playFrames_ = 0;
    std::uint64_t work_ = 0;
    std::string problem_;
};
