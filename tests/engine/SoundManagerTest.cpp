#include "engine/SoundManager.h"

#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace audiotest;

// A short, quiet click: enough for the mixer to load.
const std::string Click = sineWav(440, 0.05, 8000);

void writeNumberedWavs(const TempDir& dir, int count, const std::string& wav = Click) {
    for (int i = 0; i < count; ++i) {
        dir.write(std::to_string(i) + ".wav", wav);
    }
}

TEST(SoundManager, LoadsNumberedFilesUpToTheFirstGapAndNamesIt) {
    ASSERT_TRUE(openDummyAudio()) << SDL_GetError();
    TempDir dir;
    writeNumberedWavs(dir, 7);
    dir.write("8.wav", Click); // after the gap: never looked at

    CapturedOutput output;
    SoundManager sounds(dir.path().c_str());
    EXPECT_EQ(sounds.count(), 7);
    EXPECT_EQ(output.err(), dir.file("7.wav") + " is missing\n");
    EXPECT_EQ(output.out(), "");
}

TEST(SoundManager, AFileThatDoesNotDecodeEndsTheSet) {
    ASSERT_TRUE(openDummyAudio()) << SDL_GetError();
    TempDir dir;
    writeNumberedWavs(dir, 2);
    dir.write("2.wav", "RIFF, but not really");
    dir.write("3.wav", Click);

    CapturedOutput output;
    SoundManager sounds(dir.path().c_str());
    EXPECT_EQ(sounds.count(), 2);
    EXPECT_EQ(output.err(), dir.file("2.wav") + " is missing\n");
}

TEST(SoundManager, IdsOutOfRangeAreReportedOnStandardOutput) {
    ASSERT_TRUE(openDummyAudio()) << SDL_GetError();
    TempDir dir;
    writeNumberedWavs(dir, 7);
    SoundManager sounds(dir.path().c_str());

    CapturedOutput output;
    sounds.play(7);
    sounds.play(-1);
    sounds.play(6);
    EXPECT_EQ(output.out(), "Sample 7 is out of bounds\nSample -1 is out of bounds\n");
    EXPECT_EQ(output.err(), "");
}

TEST(SoundManager, PlaysBeyondTheFreeChannelsReportTheMixerError) {
    ASSERT_TRUE(openDummyAudio()) << SDL_GetError();
    TempDir dir;
    writeNumberedWavs(dir, 1, sineWav(440, 2.0, 8000));
    SoundManager sounds(dir.path().c_str());
    const int channels = Mix_AllocateChannels(-1);
    ASSERT_EQ(channels, 8); // the mixer's default

    CapturedOutput output;
    for (int i = 0; i < channels + 2; ++i) {
        sounds.play(0);
    }
    EXPECT_EQ(Mix_Playing(-1), channels);
    const std::string line = "Couldn't play sample 0: No free channels available\n";
    EXPECT_EQ(output.err(), line + line);
    EXPECT_EQ(output.out(), "");
}

TEST(SoundManager, WithoutAnAudioDeviceNothingLoadsAndEveryPlayIsOutOfBounds) {
    TempDir dir;
    writeNumberedWavs(dir, 3);

    CapturedOutput output;
    SoundManager sounds(dir.path().c_str());
    sounds.play(0);
    EXPECT_EQ(sounds.count(), 0);
    EXPECT_EQ(output.err(), dir.file("0.wav") + " is missing\n");
    EXPECT_EQ(output.out(), "Sample 0 is out of bounds\n");
}

TEST(SoundManager, NamesLongerThan199CharactersCountAsMissing) {
    ASSERT_TRUE(openDummyAudio()) << SDL_GetError();
    TempDir dir;
    // A directory whose "<dir>/0.wav" is exactly 199 characters: 0 to 9 fit, 10 does not.
    const std::size_t fixed = dir.path().size() + 1 + std::string("/0.wav").size();
    ASSERT_LT(fixed, 199u);
    const std::string sub(199 - fixed, 'd');
    ASSERT_EQ(mkdir(dir.file(sub).c_str(), 0700), 0);
    for (int i = 0; i <= 10; ++i) {
        dir.write(sub + "/" + std::to_string(i) + ".wav", Click);
    }
    const std::string directory = dir.file(sub);
    ASSERT_EQ((directory + "/0.wav").size(), 199u);

    CapturedOutput output;
    SoundManager fits(directory.c_str());
    EXPECT_EQ(fits.count(), 10);
    EXPECT_EQ(output.err(), directory + "/10.wav is missing\n");

    // Far too long: reported in full, nothing read.
    CapturedOutput longer;
    const std::string deep = directory + "/" + std::string(300, 'x');
    SoundManager none(deep.c_str());
    EXPECT_EQ(none.count(), 0);
    EXPECT_EQ(longer.err(), deep + "/0.wav is missing\n");
}

TEST(SoundManager, AnEffectSoundsOnceAtTheVolumeSet) {
    TempDir dir;
    const std::string capture = dir.file("mix.raw");
    ASSERT_TRUE(openDiskAudio(capture, 40)) << SDL_GetError();
    writeNumberedWavs(dir, 1, sineWav(440, 0.25, 16000));
    SoundManager sounds(dir.path().c_str());
    sounds.setVolume(50);

    sounds.play(0);
    ASSERT_TRUE(waitUntil([] { return Mix_Playing(-1) == 0; }, 3000));
    SDL_Delay(200); // a few silent buffers after it
    closeAudio();

    const std::vector<std::int16_t> samples = readSamples(capture);
    ASSERT_GT(samples.size(), std::size_t(Rate)); // at least half a second was written
    EXPECT_EQ(loudStretches(samples, Rate / 100, 1000), 1);
    // 50 of 128: the tone's peak of 16000 comes out near 6250.
    EXPECT_NEAR(peak(samples), 16000 * 50 / 128, 150);
    // A 0.25 s tone is loud for about 0.25 s of the stream.
    std::size_t loudWindows = 0;
    const std::size_t window = Rate / 100 * Channels;
    for (std::size_t at = 0; at < samples.size(); at += window) {
        loudWindows += rms(samples, at, at + window) > 1000;
    }
    EXPECT_NEAR(double(loudWindows), 25.0, 2.0);
}

} // namespace
