// The music operations and the synthesizer behind them, heard through SDL's disk driver.
#include "engine/Music.h"

#include "engine/MidiSynth.h"
#include "engine/SoundManager.h"
#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>

namespace {

using namespace audiotest;

const std::string OpenError = "Hoplings: Error. Error: Could not open MCI device.\n";
constexpr int Piano = 0, Organ = 19;
constexpr int HalfSecond = 96; // ticks

class Music : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(openDiskAudio(capture, 40)) << SDL_GetError(); }
    // Seconds [from, to) of what was played so far.
    Samples heard(double from, double to = 1e9) {
        const Samples all = readSamples(capture);
        const auto at = [&](double s) {
            return std::min(all.size(), std::size_t(s * Rate) * Channels);
        };
        return Samples(all.begin() + at(from), all.begin() + at(to));
    }

    TempDir dir;
    const std::string capture = dir.file("mix.raw");
};

// A short track ends and starts again on another channel: the long one sounds throughout.
TEST_F(Music, ATrackEndingAndStartingAgainWhileAnotherPlaysLeavesTheOtherSounding) {
    const auto longer = openTrack(dir.write("l.mid", midiNote(Organ, 8 * HalfSecond, 1)).c_str());
    const auto shorter = openTrack(dir.write("s.mid", midiNote(Piano, HalfSecond / 2)).c_str());
    ASSERT_TRUE(longer != 0 && shorter != 0);
    const double t0 = double(heard(0).size()) / Channels / Rate;
    playTrack(longer);
    for (int round = 0; round < 2; ++round) {
        SDL_Delay(150);
        playTrack(shorter);
        ASSERT_TRUE(waitUntil([&] { return !trackIsPlaying(shorter); }, 3000));
        EXPECT_TRUE(trackIsPlaying(longer));
    }
    ASSERT_TRUE(waitUntil([&] { return !trackIsPlaying(longer); }, 8000));
    closeAudio();
    const Samples whole = heard(t0 + 0.1, t0 + 3.8);
    for (double at = t0 + 0.2; at < t0 + 3.7; at += 0.2) {
        EXPECT_GT(rms(heard(at, at + 0.1)), rms(whole) / 4) << "silent at " << at - t0 << " s";
    }
}

TEST_F(Music, WithoutASoundFontTheMusicIsSilentAndSaysWhichPackageGivesOne) {
    CapturedOutput output;
    MidiSynth synth({dir.file("absent.sf2"), dir.write("broken.sf2", "not a SoundFont")});
    EXPECT_EQ(output.err(), "WARN) No General MIDI SoundFont found; music is silent (install "
                            "timgm6mb-soundfont)\n");
    EXPECT_TRUE(synth.valid() && synth.audible());
}

TEST(MusicFiles, FilesThatAreNotMidiAreRefusedWithOneLine) {
    ASSERT_TRUE(openDummyAudio()) << SDL_GetError();
    TempDir dir;
    const std::string good = midiNote(Piano, HalfSecond);
    std::vector<std::string> paths = {
        dir.write("garbage.mid", std::string("\x13\x37 not a song \xFF\x00", 16)),
        dir.write("wave.mid", sineWav(440, 0.1, 1000)), dir.file("missing.mid"), dir.path()};
    for (std::size_t length = 0; length < good.size(); ++length) { // every cut of a good file
        paths.push_back(dir.write("cut" + std::to_string(length) + ".mid", good.substr(0, length)));
    }
    for (const std::string& path : paths) {
        CapturedOutput output;
        EXPECT_EQ(openTrack(path.c_str()), 0u) << path;
        EXPECT_EQ(output.err(), OpenError) << path;
        EXPECT_EQ(output.out(), "") << path;
    }
}

TEST(MusicFiles, WithoutAnAudioDeviceTracksKeepTimeAndClosedIdsAreGone) {
    CapturedOutput output;
    closeAllTracks(); // none open
    playTrack(12345);
    EXPECT_FALSE(trackIsPlaying(12345));
    TempDir dir;
    const std::string path = dir.write("a.mid", midiNote(Piano, HalfSecond));
    const std::uint32_t id = openTrack(path.c_str());
    ASSERT_NE(id, 0u);
    const auto start = std::chrono::steady_clock::now();
    playTrack(id);
    EXPECT_TRUE(trackIsPlaying(id));
    ASSERT_TRUE(waitUntil([id] { return !trackIsPlaying(id); }, 3000));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_GT(took.count(), 0.45);
    EXPECT_LT(took.count(), 2.5);
    playTrack(id);
    EXPECT_TRUE(trackIsPlaying(id)); // starts again
    closeAllTracks();
    EXPECT_FALSE(trackIsPlaying(id));
    const std::uint32_t second = openTrack(path.c_str());
    EXPECT_NE(second, id);
    EXPECT_EQ(output.out() + output.err(), "");
}

} // namespace
