#include "engine/Music.h"

#include "engine/SoundManager.h"
#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace audiotest;

const std::string OpenError = "Hoplings: Error. Error: Could not open MCI device.\n";
constexpr int Piano = 0, Organ = 19;
constexpr int HalfSecond = 96; // ticks, at the files' default tempo

// Leaves a listenable capture of music with an effect on top in the test output folder.
TEST(Music, MixesWithEffectsAndFallsSilentWhenAllTracksAreClosed) {
    TempDir dir;
    const std::string capture = dir.file("mix.raw");
    ASSERT_TRUE(openDiskAudio(capture, 40)) << SDL_GetError();
    dir.write("0.wav", sineWav(880, 0.3, 12000));
    SoundManager sounds(dir.path().c_str());
    const std::uint32_t id = openTrack(dir.write("a.mid", midiNote(Organ, 8 * HalfSecond)).c_str());
    ASSERT_NE(id, 0u);
    playTrack(id);
    SDL_Delay(60);
    sounds.play(0);
    ASSERT_TRUE(waitUntil([] { return Mix_Playing(-1) == 0; }, 3000));
    EXPECT_TRUE(trackIsPlaying(id)); // four seconds long: still going
    closeAllTracks();
    EXPECT_FALSE(trackIsPlaying(id));
    SDL_Delay(300);
    const std::size_t closedAt = std::filesystem::file_size(capture);
    SDL_Delay(200);
    closeAudio();

    std::vector<std::int16_t> samples = readSamples(capture);
    writeWav(std::string(TEST_OUTPUT_DIR) + "/music-and-effect.wav", samples, Rate, Channels);
    samples.resize(std::min(samples.size(), closedAt / 2));
    EXPECT_GT(peak(samples), 12500) << "the effect alone peaks at 12000: no music under it";
    const std::vector<std::int16_t> after = readSamples(capture, closedAt);
    ASSERT_GT(after.size(), std::size_t(Rate)) << "too little written after closing";
    EXPECT_EQ(peak(after), 0) << "music went on after every track was closed";
}

TEST(Music, ATrackStopsAtItsEndAndStartsAgainFromTheBeginning) {
    TempDir dir;
    const std::string capture = dir.file("mix.raw");
    ASSERT_TRUE(openDiskAudio(capture, 40)) << SDL_GetError();
    CapturedOutput output;
    const std::uint32_t id = openTrack(dir.write("a.mid", midiNote(Piano, HalfSecond)).c_str());
    EXPECT_EQ(output.out() + output.err(), "") << "the synthesizer should start without a word";
    ASSERT_NE(id, 0u);
    EXPECT_FALSE(trackIsPlaying(id)); // opened, not started
    for (int round = 0; round < 2; ++round) {
        playTrack(id);
        EXPECT_TRUE(trackIsPlaying(id)) << "round " << round;
        EXPECT_TRUE(waitUntil([id] { return !trackIsPlaying(id); }, 3000)) << "round " << round;
        SDL_Delay(250); // let the note ring out between the rounds
    }
    closeAudio();

    // Two separate notes in the stream, each about half a second of audio.
    const std::vector<std::int16_t> samples = readSamples(capture);
    const double loudest = loudestWindow(samples, Rate / 20);
    ASSERT_GT(loudest, 300.0);
    EXPECT_EQ(loudStretches(samples, Rate / 20, loudest / 4), 2);
}

TEST(Music, FilesThatAreNotMidiAreRefusedWithOneLine) {
    ASSERT_TRUE(openDummyAudio()) << SDL_GetError();
    TempDir dir;
    const std::string good = midiNote(Piano, HalfSecond);
    std::vector<std::string> paths = {
        dir.write("garbage.mid", std::string("\x13\x37 not a song, just some words \xFF\x00", 33)),
        dir.write("wave.mid", sineWav(440, 0.1, 1000)), dir.file("missing.mid"), dir.path()};
    // Every cut of a good file, down to the last byte and the empty file.
    for (std::size_t length = 0; length < good.size(); ++length) {
        paths.push_back(dir.write("cut" + std::to_string(length) + ".mid", good.substr(0, length)));
    }
    for (const std::string& path : paths) {
        CapturedOutput output;
        EXPECT_EQ(openTrack(path.c_str()), 0u) << path;
        EXPECT_EQ(output.err(), OpenError) << path;
        EXPECT_EQ(output.out(), "") << path;
    }
    EXPECT_NE(openTrack(dir.write("good.mid", good).c_str()), 0u);
}

TEST(Music, WithoutAnAudioDeviceTracksKeepTimeAndClosedIdsAreGone) {
    CapturedOutput output;
    closeAllTracks(); // none open
    playTrack(12345);
    EXPECT_FALSE(trackIsPlaying(0));
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
    EXPECT_LT(took.count(), 1.0);
    playTrack(id);
    EXPECT_TRUE(trackIsPlaying(id)); // starts again
    closeAllTracks();
    playTrack(id);
    EXPECT_FALSE(trackIsPlaying(id));
    const std::uint32_t second = openTrack(path.c_str());
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, id);
    playTrack(second);
    EXPECT_TRUE(trackIsPlaying(second));
    EXPECT_EQ(output.out() + output.err(), "");
}

} // namespace
