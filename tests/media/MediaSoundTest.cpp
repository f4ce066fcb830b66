// The shipped sound effects and music tracks: every file the game plays must load and be
// in the shape the players expect (effects through SDL_mixer, tracks as Standard MIDI Files).
#include "engine/Platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const int kEffectCount = 7;
const int kDeviceRate = 22050;
const int kDeviceChannels = 2;
const char* const kTracks[] = {"BGLOOP2.mid", "Home.mid", "INDS_08.mid", "MISC_03.mid",
                               "NEWA_11A.mid"};

std::string soundPath(const std::string& name) {
    return std::string(PROJECT_SOURCE_DIR) + "/media/sound/" + name;
}

std::string effectPath(int id) {
    return soundPath(std::to_string(id) + ".wav");
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

std::uint32_t le32(const std::vector<unsigned char>& d, std::size_t at) {
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | std::uint32_t(d[at + 3]) << 24;
}
std::uint16_t le16(const std::vector<unsigned char>& d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
}
std::uint32_t be32(const std::vector<unsigned char>& d, std::size_t at) {
    return std::uint32_t(d[at]) << 24 | d[at + 1] << 16 | d[at + 2] << 8 | d[at + 3];
}
std::uint16_t be16(const std::vector<unsigned char>& d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] << 8 | d[at + 1]);
}
bool tagAt(const std::vector<unsigned char>& d, std::size_t at, const char* tag) {
    return at + 4 <= d.size() && std::string(d.begin() + at, d.begin() + at + 4) == tag;
}

// The parts of a RIFF WAVE file the effects are checked against.
struct WavInfo {
    bool valid = false;
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<std::int16_t> samples; // interleaved
};

WavInfo parseWav(const std::vector<unsigned char>& d) {
    WavInfo info;
    if (!tagAt(d, 0, "RIFF") || !tagAt(d, 8, "WAVE"))
        return info;
    bool haveFormat = false, haveData = false;
    for (std::size_t at = 12; at + 8 <= d.size();) {
        std::size_t size = le32(d, at + 4);
        std::size_t body = at + 8;
        if (size > d.size() - body)
            return info; // chunk runs past the end of the file
        if (tagAt(d, at, "fmt ") && size >= 16) {
            info.format = le16(d, body);
            info.channels = le16(d, body + 2);
            info.rate = static_cast<int>(le32(d, body + 4));
            info.bits = le16(d, body + 14);
            haveFormat = true;
        } else if (tagAt(d, at, "data")) {
            for (std::size_t i = 0; i + 1 < size; i += 2)
                info.samples.push_back(static_cast<std::int16_t>(le16(d, body + i)));
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    info.valid = haveFormat && haveData;
    return info;
}

class MediaSound : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(initAudio(kDeviceRate, kDeviceChannels), 0) << Mix_GetError();
    }
    void TearDown() override {
        Mix_CloseAudio();
        SDL_Quit();
    }
};

TEST_F(MediaSound, EveryEffectLoadsThroughTheMixerAndLastsUnderASecond) {
    for (int id = 0; id < kEffectCount; ++id) {
        SCOPED_TRACE(effectPath(id));
        Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromFile(effectPath(id).c_str(), "rb"), 1);
        ASSERT_NE(chunk, nullptr) << Mix_GetError();
        // The chunk is converted to the device format: 16-bit samples, two channels.
        double seconds = chunk->alen / double(kDeviceRate * kDeviceChannels * 2);
        EXPECT_GT(seconds, 0.04);
        EXPECT_LT(seconds, 1.0);
        Mix_FreeChunk(chunk);
    }
}

TEST(MediaSoundFiles, EffectsArePcm16AtTheDeviceRateAndClean) {
    for (int id = 0; id < kEffectCount; ++id) {
        SCOPED_TRACE(effectPath(id));
        WavInfo wav = parseWav(readFile(effectPath(id)));
        ASSERT_TRUE(wav.valid);
        EXPECT_EQ(wav.format, 1); // uncompressed PCM
        EXPECT_EQ(wav.bits, 16);
        EXPECT_EQ(wav.rate, kDeviceRate);
        EXPECT_TRUE(wav.channels == 1 || wav.channels == 2);
        ASSERT_GT(wav.samples.size(), 100u);

        // Starts and ends on silence (no click when the mixer starts or drops the chunk),
        // never clips, and is loud enough to hear at the game's channel volume.
        EXPECT_LE(std::abs(wav.samples.front()), 64);
        EXPECT_LE(std::abs(wav.samples.back()), 64);
        int peak = 0;
        for (std::int16_t s : wav.samples)
            peak = std::max(peak, std::abs(int(s)));
        EXPECT_LT(peak, 32767);
        EXPECT_GT(20.0 * std::log10(peak / 32767.0), -12.0);
    }
}

TEST(MediaSoundFiles, MusicTracksAreStandardMidiFilesWithCompleteTracks) {
    for (const char* name : kTracks) {
        SCOPED_TRACE(soundPath(name));
        std::vector<unsigned char> d = readFile(soundPath(name));
        ASSERT_GE(d.size(), 14u);
        ASSERT_TRUE(tagAt(d, 0, "MThd"));
        EXPECT_EQ(be32(d, 4), 6u);
        int format = be16(d, 8);
        int tracks = be16(d, 10);
        EXPECT_TRUE(format == 0 || format == 1) << format;
        EXPECT_GE(tracks, 1);
        EXPECT_NE(be16(d, 12), 0); // ticks per quarter note

        // Every declared track is present, fits in the file and ends with end-of-track.
        int found = 0;
        for (std::size_t at = 14; at + 8 <= d.size();) {
            std::size_t size = be32(d, at + 4);
            ASSERT_LE(size, d.size() - at - 8) << "chunk runs past the end";
            if (tagAt(d, at, "MTrk")) {
                ASSERT_GE(size, 3u);
                std::size_t end = at + 8 + size;
                EXPECT_EQ(d[end - 3], 0xFF);
                EXPECT_EQ(d[end - 2], 0x2F);
                EXPECT_EQ(d[end - 1], 0x00);
                ++found;
            }
            at += 8 + size;
        }
        EXPECT_EQ(found, tracks);
    }
}

} // namespace
