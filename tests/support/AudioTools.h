#pragma once
// Sound tests on SDL's headless audio drivers, with generated WAV and MIDI files. The disk
// driver writes the mix (16-bit stereo at 22050 Hz, as initAudio opens it) to a file, one
// 4096-frame buffer every `delayMs` ms, so a test can run faster than real time.

#include "engine/Platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

namespace audiotest {

constexpr int Rate = 22050;
constexpr int Channels = 2;
using Samples = std::vector<std::int16_t>; // interleaved

// Opens the device with initAudio; must run before anything else touches SDL audio.
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
    return openAudio("dummy"); // real time, keeps nothing
}
inline void closeAudio() {
    Mix_CloseAudio(); // flushes and closes the disk driver's file
}

// The disk driver's file at the mix's rate. sdl12-compat (which tells itself apart as version
// 1.2.50 or later) runs the device at 44100 Hz at least and resamples the mix up to it: every
// other frame is kept.
inline Samples readSamples(const std::string& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    Samples samples(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)) / 2);
    in.seekg(0).read(reinterpret_cast<char*>(samples.data()), std::streamsize(2 * samples.size()));
    const std::size_t step = SDL_Linked_Version()->patch >= 50 ? 44100 / Rate : 1, frame = Channels;
    std::size_t kept = 0;
    for (std::size_t from = 0; from + frame <= samples.size();
         from += step * frame, kept += frame) {
        std::copy_n(samples.begin() + from, frame, samples.begin() + kept);
    }
    samples.resize(kept);
    return samples;
}

inline double rms(const Samples& s) {
    const double sum = std::inner_product(s.begin(), s.end(), s.begin(), 0.0);
    return s.empty() ? 0.0 : std::sqrt(sum / double(s.size()));
}

inline int peak(const Samples& samples) {
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    return samples.empty() ? 0 : std::max(-int(*low), int(*high));
}

// How alike each sample is to the next of its channel: near 1 for music, near 0 for noise.
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
    // fmt size; PCM and mono; rate; bytes a second; block align and bits
    for (std::uint32_t word : {16u, 0x10001u, std::uint32_t(Rate), 2u * Rate, 0x100002u}) {
        put(out, word, 4);
    }
    out += "data";
    put(out, 2 * frames, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        put(out, std::uint16_t(std::lround(amplitude * std::sin(2 * M_PI * frequency * i / Rate))),
            2);
    }
    return out;
}

// A format-0 MIDI file at 96 ticks a quarter note, 120 bpm (96 ticks = 0.5 s): General MIDI
// `program` on `channel` holding middle C for `ticks`.
inline std::string midiNote(int program, int ticks, int channel = 0) {
    std::string track = {0,   char(0xC0 | channel), char(program), 0, char(0x90 | channel), 0x3C,
                         0x64};
    std::string delta(1, char(ticks & 0x7F)); // the hold time as a variable-length quantity
    for (int rest = ticks >> 7; rest > 0; rest >>= 7) {
        delta.insert(delta.begin(), char(0x80 | (rest & 0x7F)));
    }
    track += delta + char(0x80 | channel) + std::string("\x3C\x40\x00\xFF\x2F\x00", 6);
    std::string out("MThd\0\0\0\x06\0\0\0\x01\0\x60MTrk", 18); // format 0, one track, 96 ticks
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
