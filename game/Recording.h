#pragma once
// One recorded game: everything its outcome depends on, from its first play frame to game
// over. Replaying the frames with these fly-button states and these draws gives the same
// game, whatever else drew from the C generator meanwhile (the music synthesizer, the choice
// of the next track).
//
// The file: an 8-byte mark "PKReplay", then little-endian 32-bit fields: the version (2),
// the final score (a float's bits), the number of frames, the number of draws, the size of
// the payload and its FNV-1a checksum; then the payload, its runs of equal bytes packed, up
// to the end of the file. The payload holds each frame's flags, then the frame times as four
// planes of bytes (all first bytes, then all second bytes...: equal times make long runs),
// then the draws as unsigned LEB128 numbers. Nothing in it depends on the platform: a
// recording made on the desktop replays in the browser.

#include <cstdint>
#include <string>
#include <vector>

struct Recording {
    // A frame's flags: the fly button at the update's first and second query (an update
    // asks at most twice), and a stretch of paused frames.
    static constexpr std::uint8_t FlyFirst = 1, FlySecond = 2, Paused = 4;
    // Four and a half hours at 250 frames a second; longer games are not recorded.
    static constexpr std::size_t MaxFrames = 4000000;
    static constexpr std::size_t MaxDrawBytes = 48u << 20;
    // Files beyond this are refused unread.
    static constexpr long MaxFileBytes = 64L << 20;

    // Per frame: the time the update got, in seconds; for a pause, how long it lasted.
    std::vector<float> times;
    std::vector<std::uint8_t> flags;
    // The draws in the order the game took them, each as the value it used (0 to
    // choices - 1), LEB128-coded.
    std::string draws;
    std::uint32_t drawCount = 0;
    float score = 0; // the final score

    void addDraw(std::uint32_t value);
    // The file's bytes.
    std::string encode() const;
    // Reads a file's bytes; false with the reason in `problem`: "empty", "not a Pyrokettle
    // recording", "cut short", "version <n>, this game reads version 2", "claims more frames
    // or draws than it holds" or "damaged".
    bool decode(const std::string& bytes, std::string& problem);
};

// Reads a recording file. False with the reason in `problem`: the system's text for a file
// that cannot be opened ("No such file or directory"), "not a regular file" (a FIFO is not
// waited on), "larger than 64 MiB" (not read), else what decode() says.
bool readRecording(const std::string& path, Recording& recording, std::string& problem);

// Reads the next LEB128 number of `bytes` at `at` (advanced past it); false at the end or
// for a number that does not fit 31 bits.
bool readDraw(const std::string& bytes, std::size_t& at, std::uint32_t& value);
