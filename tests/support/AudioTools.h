#pragma once
// Sound tests on SDL's headless audio drivers, with generated WAV and MIDI files.
//
// The disk driver writes the mixed output (signed 16-bit little-endian, stereo, 22050 Hz, as
// initAudio opens it) to a file, one 4096-frame buffer every `delayMs` milliseconds, so a
// test can run faster than real time and still hear everything.

#include "engine/Platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace audiotest {

constexpr int Rate = 22050;
constexpr int Channels = 2;
using Samples = std::vector<std::int16_t>; // interleaved

// Opens the device with initAudio on the disk (or dummy: real time, keeps nothing) driver.
// Must run before anything else touches SDL audio in the test process.
inline bool openAudio(const char* driver, const std::string& file = "", int delayMs = 0) {
    setenv("SDL_AUDIODRIVER", driver, 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
    return SDL_Init(SDL_INIT_AUDIO) == 0 && initAudio(Rate, Channels) == 0;
}
inline bool openDiskAudio(const std::string& file, int delayMs) {
    return openAudio("disk", file, delayMs);
}
inline bool openDummyAudio() {
    return openAudio("dummy");
}
// Closes the device, which flushes and closes the disk driver's file.
inline void closeAudio() {
    Mix_CloseAudio();
}

// The samples of a disk-driver file from byte `fromByte` on.
inline Samples readSamples(const std::string& file, std::size_t fromByte = 0) {
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(fromByte & ~std::size_t(1)));
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Samples samples(bytes.size() / 2);
    std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    return samples;
}

// Root mean square of samples [begin, end) (clamped to the data), 0 for an empty range.
inline double rms(const Samples& samples, std::size_t begin = 0, std::size_t end = SIZE_MAX) {
    end = std::min(end, samples.size());
    double sum = 0;
    for (std::size_t i = begin; i < end; ++i) {
        sum += double(samples[i]) * samples[i];
    }
    return begin < end ? std::sqrt(sum / double(end - begin)) : 0.0;
}

inline int peak(const Samples& samples) {
    int largest = 0;
    for (std::int16_t s : samples) {
        largest = std::max(largest, std::abs(int(s)));
    }
    return largest;
}

// How alike each sample is to the next of its channel, -1 to 1: near 1 for music, near 0
// for noise.
inline double smoothness(const Samples& samples) {
    double together = 0, alone = 0;
    for (std::size_t i = 0; i + Channels < samples.size(); ++i) {
        together += double(samples[i]) * samples[i + Channels];
        alone += double(samples[i]) * samples[i];
    }
    return alone > 0 ? together / alone : 0.0;
}

// Little-endian for WAV, big-endian for MIDI.
inline void put(std::string& out, std::uint32_t value, int bytes, bool bigEndian = false) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>(value >> (8 * (bigEndian ? bytes - 1 - i : i)));
    }
}

// A mono 16-bit PCM WAV file of a sine tone.
inline std::string sineWav(double frequency, double seconds, int amplitude) {
    const auto frames = static_cast<std::uint32_t>(seconds * Rate);
    std::string out = "RIFF";
    put(out, 36 + 2 * frames, 4);
    out += "WAVEfmt ";
    // PCM, mono, 16 bits: fmt size, tag, channels, rate, bytes a second, block align, bits.
    for (auto [value, bytes] : {std::pair{16u, 4},
                                {1u, 2},
                                {1u, 2},
                                {unsigned(Rate), 4},
                                {2u * Rate, 4},
                                {2u, 2},
                                {16u, 2}}) {
        put(out, value, bytes);
    }
    out += "data";
    put(out, 2 * frames, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        put(out, std::uint16_t(std::lround(amplitude * std::sin(2 * M_PI * frequency * i / Rate))),
            2);
    }
    return out;
}

// A format-0 MIDI file at 96 ticks per quarter note and 120 beats per minute (96 ticks =
// 0.5 s): General MIDI `program` on `channel` holding middle C for `ticks`.
inline std::string midiNote(int program, int ticks, int channel = 0) {
    std::string track = {0,   char(0xC0 | channel), char(program), 0, char(0x90 | channel), 0x3C,
                         0x64};
    std::string delta(1, char(ticks & 0x7F)); // the hold time as a variable-length quantity
    for (int rest = ticks >> 7; rest > 0; rest >>= 7) {
        delta.insert(delta.begin(), char(0x80 | (rest & 0x7F)));
    }
    track += delta + char(0x80 | channel) + std::string("\x3C\x40\x00\xFF\x2F\x00", 6);
    std::string out = "MThd";
    put(out, 6, 4, true);
    out += std::string("\x00\x00\x00\x01\x00\x60", 6) + "MTrk";
    put(out, static_cast<std::uint32_t>(track.size()), 4, true);
    return out + track;
}

// Polls `done` every few milliseconds; false when `timeoutMs` passes first.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs && !done(); waited += 5) {
        SDL_Delay(5);
    }
    return done();
}

} // namespace audiotest
