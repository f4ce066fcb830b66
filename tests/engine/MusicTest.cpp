#include "engine/Music.h"

#include "engine/SoundManager.h"
#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace audiotest;

const std::string OpenError = "Hoplings: Error. Error: Could not open MCI device.\n";
constexpr int Piano = 0;
constexpr int Organ = 19;
// 96 ticks are half a second at the files' default tempo.
constexpr int HalfSecond = 96;

std::size_t fileSize(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<std::size_t>(info.st_size) : 0;
}

TEST(Music, RendersWhileATrackPlaysAndFallsSilentWhenAllAreClosed) {
    TempDir dir;
    const std::string capture = dir.file("mix.raw");
    ASSERT_TRUE(openDiskAudio(capture, 40)) << SDL_GetError();
    const std::uint32_t id = openTrack(dir.write("long.mid", midiNote(Organ, 8 * HalfSecond)).c_str());
    ASSERT_NE(id, 0u);

    playTrack(id);
    EXPECT_TRUE(trackIsPlaying(id));
    SDL_Delay(150);
    EXPECT_TRUE(trackIsPlaying(id)); // four seconds long: still going
    closeAllTracks();
    EXPECT_FALSE(trackIsPlaying(id));
    SDL_Delay(300);
    const std::size_t closedAt = fileSize(capture);
    SDL_Delay(200);
    closeAudio();

    std::vector<std::int16_t> music = readSamples(capture);
    ASSERT_GT(closedAt, 0u);
    music.resize(std::min(music.size(), closedAt / 2));
    EXPECT_GT(loudestWindow(music, Rate / 20), 300.0) << "no music was heard";
    const std::vector<std::int16_t> after = readSamples(capture, closedAt);
    ASSERT_GT(after.size(), std::size_t(Rate)) << "too little written after closing";
    EXPECT_EQ(peak(after), 0) << "music went on after every track was closed";
}

TEST(Music, ATrackStopsAtItsEndAndStartsAgainFromTheBeginning) {
    TempDir dir;
    const std::string capture = dir.file("mix.raw");
    ASSERT_TRUE(openDiskAudio(capture, 40)) << SDL_GetError();
    CapturedOutput output;
    const std::uint32_t id = openTrack(dir.write("short.mid", midiNote(Piano, HalfSecond)).c_str());
    EXPECT_EQ(output.err(), "") << "the synthesizer should start without a word";
    EXPECT_EQ(output.out(), "");
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
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"garbage", std::string("\x13\x37 not a song at all, just some words \xFF\x00", 40)},
        {"header only", good.substr(0, 14)},
        {"wave file", sineWav(440, 0.1, 1000)},
    };
    for (const auto& [name, bytes] : cases) {
        const std::string path = dir.write(std::string(name) + ".mid", bytes);
        CapturedOutput output;
        EXPECT_EQ(openTrack(path.c_str()), 0u) << name;
        EXPECT_EQ(output.err(), OpenError) << name;
        EXPECT_EQ(output.out(), "") << name;
    }

    CapturedOutput missing;
    EXPECT_EQ(openTrack(dir.file("missing.mid").c_str()), 0u);
    EXPECT_EQ(openTrack(dir.path().c_str()), 0u); // a directory
    EXPECT_EQ(missing.err(), OpenError + OpenError);

    // Every cut of a good file is refused, down to the last byte.
    for (std::size_t length = 0; length < good.size(); ++length) {
        const std::string path = dir.write("cut.mid", good.substr(0, length));
        CapturedOutput output;
        EXPECT_EQ(openTrack(path.c_str()), 0u) << "cut at " << length;
        EXPECT_EQ(output.err(), OpenError) << "cut at " << length;
    }
    EXPECT_NE(openTrack(dir.write("good.mid", good).c_str()), 0u);
}

TEST(Music, UnknownIdsAreNotPlayingAndClosingNothingIsQuiet) {
    CapturedOutput output;
    EXPECT_FALSE(trackIsPlaying(0));
    EXPECT_FALSE(trackIsPlaying(12345));
    playTrack(12345);
    closeAllTracks();
    EXPECT_EQ(output.out(), "");
    EXPECT_EQ(output.err(), "");
}

TEST(Music, ClosedTracksAreGoneAndNewOnesOpen) {
    ASSERT_TRUE(openDummyAudio()) << SDL_GetError();
    TempDir dir;
    const std::string path = dir.write("a.mid", midiNote(Piano, 4 * HalfSecond));
    const std::uint32_t first = openTrack(path.c_str());
    playTrack(first);
    closeAllTracks();
    playTrack(first);
    EXPECT_FALSE(trackIsPlaying(first));

    const std::uint32_t second = openTrack(path.c_str());
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first);
    playTrack(second);
    EXPECT_TRUE(trackIsPlaying(second));
}

TEST(Music, WithoutAnAudioDeviceTracksKeepTimeInSilence) {
    TempDir dir;
    CapturedOutput output;
    const std::uint32_t id = openTrack(dir.write("short.mid", midiNote(Piano, HalfSecond)).c_str());
    ASSERT_NE(id, 0u);

    const auto start = std::chrono::steady_clock::now();
    playTrack(id);
    EXPECT_TRUE(trackIsPlaying(id));
    ASSERT_TRUE(waitUntil([id] { return !trackIsPlaying(id); }, 3000));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(seconds, 0.45);
    EXPECT_LT(seconds, 1.0);

    playTrack(id);
    EXPECT_TRUE(trackIsPlaying(id));
    closeAllTracks();
    EXPECT_EQ(output.out(), "");
    EXPECT_EQ(output.err(), "");
}

// Leaves a listenable capture of music with an effect on top in the test output folder.
TEST(Music, MixesWithSoundEffectsIntoOneStream) {
    TempDir dir;
    const std::string capture = dir.file("mix.raw");
    ASSERT_TRUE(openDiskAudio(capture, 40)) << SDL_GetError();
    dir.write("0.wav", sineWav(880, 0.3, 12000));
    SoundManager sounds(dir.path().c_str());
    ASSERT_EQ(sounds.count(), 1);
    const std::uint32_t id = openTrack(dir.write("tune.mid", midiNote(Organ, 3 * HalfSecond)).c_str());
    ASSERT_NE(id, 0u);

    playTrack(id);
    SDL_Delay(60);
    sounds.play(0);
    ASSERT_TRUE(waitUntil([id] { return !trackIsPlaying(id) && Mix_Playing(-1) == 0; }, 5000));
    SDL_Delay(150);
    closeAllTracks();
    closeAudio();

    const std::vector<std::int16_t> samples = readSamples(capture);
    writeWav(std::string(TEST_OUTPUT_DIR) + "/music-and-effect.wav", samples, Rate, Channels);
    ASSERT_GT(samples.size(), std::size_t(2 * Rate * Channels));
    // The effect alone peaks at 12000; with the organ under it the sum goes higher.
    EXPECT_GT(peak(samples), 12500);
    EXPECT_GT(loudestWindow(samples, Rate / 20), 1000.0);
}

} // namespace
