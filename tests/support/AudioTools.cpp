#include "support/AudioTools.h"

#include "engine/Platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace audiotest {

namespace {

void put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void put32BigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

std::string wavHeader(std::uint32_t dataBytes, int rate, int channels) {
    std::string out = "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, static_cast<unsigned>(channels));
    put32(out, static_cast<std::uint32_t>(rate));
    put32(out, static_cast<std::uint32_t>(rate * channels * 2));
    put16(out, static_cast<unsigned>(channels * 2));
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    return out;
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

std::vector<std::int16_t> readSamples(const std::string& file, std::size_t fromByte) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples;
    for (std::size_t i = fromByte & ~std::size_t(1); i + 1 < bytes.size(); i += 2) {
        const unsigned lo = static_cast<unsigned char>(bytes[i]);
        const unsigned hi = static_cast<unsigned char>(bytes[i + 1]);
        samples.push_back(static_cast<std::int16_t>(lo | (hi << 8)));
    }
    return samples;
}

double rms(const std::vector<std::int16_t>& samples, std::size_t begin, std::size_t end) {
    end = std::min(end, samples.size());
    if (begin >= end) {
        return 0;
    }
    double sum = 0;
    for (std::size_t i = begin; i < end; ++i) {
        sum += double(samples[i]) * samples[i];
    }
    return std::sqrt(sum / double(end - begin));
}

double loudestWindow(const std::vector<std::int16_t>& samples, std::size_t windowFrames) {
    const std::size_t window = windowFrames * Channels;
    double loudest = 0;
    for (std::size_t at = 0; at < samples.size(); at += window) {
        loudest = std::max(loudest, rms(samples, at, at + window));
    }
    return loudest;
}

int peak(const std::vector<std::int16_t>& samples) {
    int largest = 0;
    for (std::int16_t s : samples) {
        largest = std::max(largest, std::abs(int(s)));
    }
    return largest;
}

void writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int rate, int channels) {
    std::string out = wavHeader(static_cast<std::uint32_t>(samples.size() * 2), rate, channels);
    for (std::int16_t s : samples) {
        put16(out, static_cast<std::uint16_t>(s));
    }
    std::ofstream(path, std::ios::binary) << out;
}

int loudStretches(const std::vector<std::int16_t>& samples, std::size_t windowFrames, double threshold) {
    const std::size_t window = windowFrames * Channels;
    int stretches = 0;
    bool loud = false;
    for (std::size_t at = 0; at < samples.size(); at += window) {
        const bool now = rms(samples, at, at + window) > threshold;
        if (now && !loud) {
            ++stretches;
        }
        loud = now;
    }
    return stretches;
}

std::string sineWav(double frequency, double seconds, int amplitude, int rate) {
    const int frames = static_cast<int>(seconds * rate);
    std::string out = wavHeader(static_cast<std::uint32_t>(frames * 2), rate, 1);
    for (int i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2 * M_PI * frequency * i / rate);
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(value))));
    }
    return out;
}

std::string midiNote(int program, int ticks) {
    std::string track;
    track += std::string("\x00\xC0", 2) + static_cast<char>(program);
    track += std::string("\x00\x90\x3C\x64", 4);
    // The hold time as a variable-length quantity.
    std::string delta(1, static_cast<char>(ticks & 0x7F));
    for (int rest = ticks >> 7; rest > 0; rest >>= 7) {
        delta.insert(delta.begin(), static_cast<char>(0x80 | (rest & 0x7F)));
    }
    track += delta + std::string("\x80\x3C\x40", 3);
    track += std::string("\x00\xFF\x2F\x00", 4);

    std::string out = "MThd";
    put32BigEndian(out, 6);
    out += std::string("\x00\x00\x00\x01\x00\x60", 6);
    out += "MTrk";
    put32BigEndian(out, static_cast<std::uint32_t>(track.size()));
    return out + track;
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    // The steady clock, not SDL's: some tests run without starting SDL.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace audiotest
