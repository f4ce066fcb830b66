#include "support/AudioTools.h"

#include "engine/Platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace audiotest {

namespace {

// Little-endian for WAV, big-endian for MIDI.
void put(std::string& out, std::uint32_t value, int bytes, bool bigEndian = false) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>(value >> (8 * (bigEndian ? bytes - 1 - i : i)));
    }
}

bool openAudio() {
    return SDL_Init(SDL_INIT_AUDIO) == 0 && initAudio(Rate, Channels) == 0;
}

} // namespace

bool openDiskAudio(const std::string& file, int delayMs) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
    return openAudio();
}

bool openDummyAudio() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return openAudio();
}

void closeAudio() {
    Mix_CloseAudio();
}

Samples readSamples(const std::string& file, std::size_t fromByte) {
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(fromByte & ~std::size_t(1)));
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Samples samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                               static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return samples;
}

double rms(const Samples& samples, std::size_t begin, std::size_t end) {
    end = std::min(end, samples.size());
    double sum = 0;
    for (std::size_t i = begin; i < end; ++i) {
        sum += double(samples[i]) * samples[i];
    }
    return begin < end ? std::sqrt(sum / double(end - begin)) : 0.0;
}

int peak(const Samples& samples) {
    int largest = 0;
    for (std::int16_t s : samples) {
        largest = std::max(largest, std::abs(int(s)));
    }
    return largest;
}

int loudStretches(const Samples& samples, std::size_t windowFrames, double threshold) {
    const std::size_t window = windowFrames * Channels;
    int stretches = 0;
    bool loud = false;
    for (std::size_t at = 0; at < samples.size(); at += window) {
        const bool now = rms(samples, at, at + window) > threshold;
        stretches += now && !loud;
        loud = now;
    }
    return stretches;
}

double smoothness(const Samples& samples) {
    double together = 0, alone = 0;
    for (std::size_t i = 0; i + Channels < samples.size(); ++i) {
        together += double(samples[i]) * samples[i + Channels];
        alone += double(samples[i]) * samples[i];
    }
    return alone > 0 ? together / alone : 0.0;
}

std::string sineWav(double frequency, double seconds, int amplitude) {
    const auto frames = static_cast<std::uint32_t>(seconds * Rate);
    std::string out = "RIFF";
    put(out, 36 + 2 * frames, 4);
    out += "WAVEfmt ";
    // PCM, mono, 16 bits: fmt size, tag, channels, rate, bytes a second, block align, bits.
    const std::pair<std::uint32_t, int> fields[] = {{16, 4},       {1, 2}, {1, 2}, {Rate, 4},
                                                    {2 * Rate, 4}, {2, 2}, {16, 2}};
    for (const auto& [value, bytes] : fields) {
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

std::string midiNote(int program, int ticks, int channel) {
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

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 5) {
        if (done()) {
            return true;
        }
        SDL_Delay(5);
    }
    return done();
}

} // namespace audiotest
