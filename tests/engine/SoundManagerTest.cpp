#include "engine/SoundManager.h"

#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using namespace audiotest;

// A short, quiet click: enough for the mixer to load.
const std::string Click = sineWav(440, 0.05, 8000);

// Names longer than 199 characters are not looked up: "<long>/0.wav" is 199 characters,
// so 0 to 9 fit and 10 does not.
TEST(SoundManager, LoadingStopsAtTheFirstNumberThatDoesNotLoad) {
    ASSERT_TRUE(openDummyAudio()) << SDL_GetError();
    TempDir dir;
    const std::string gap = dir.file("gap"), junk = dir.file("junk"),
                      longDir = dir.file(std::string(192 - dir.path().size(), 'd')),
                      deep = longDir + "/" + std::string(300, 'x');
    // Directory, its files by number (w a sound, j junk, . none), sounds loaded.
    const std::tuple<std::string, std::string, int> cases[] = {
        {gap, "wwwwwww.w", 7}, {junk, "wwjw", 2}, {longDir, "wwwwwwwwwww", 10}, {deep, "", 0}};
    for (const auto& [set, files, loaded] : cases) {
        std::error_code tooLong; // the deep directory cannot be made
        std::filesystem::create_directory(set, tooLong);
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (files[i] != '.') {
                std::ofstream(set + "/" + std::to_string(i) + ".wav")
                    << (files[i] == 'w' ? Click : "RIFF, or not");
            }
        }
        CapturedOutput output;
        SoundManager sounds(set.c_str());
        EXPECT_EQ(sounds.count(), loaded) << files;
        EXPECT_EQ(output.err(), set + "/" + std::to_string(loaded) + ".wav is missing\n");
        EXPECT_EQ(output.out(), "");
    }
}

TEST(SoundManager, PlaysOutOfRangeOrBeyondTheFreeChannelsAreReported) {
    ASSERT_TRUE(openDummyAudio()) << SDL_GetError();
    TempDir dir;
    dir.write("0.wav", sineWav(440, 2.0, 8000));
    SoundManager sounds(dir.path().c_str());
    ASSERT_EQ(Mix_AllocateChannels(-1), 8); // the mixer's default
    CapturedOutput output;
    sounds.play(1);
    sounds.play(-1);
    for (int i = 0; i < 10; ++i) {
        sounds.play(0);
    }
    EXPECT_EQ(Mix_Playing(-1), 8);
    EXPECT_EQ(output.out(), "Sample 1 is out of bounds\nSample -1 is out of bounds\n");
    const std::string line = "Couldn't play sample 0: No free channels available\n";
    EXPECT_EQ(output.err(), line + line);
}

TEST(SoundManager, WithoutAnAudioDeviceNothingLoadsAndEveryPlayIsOutOfBounds) {
    TempDir dir;
    dir.write("0.wav", Click);
    CapturedOutput output;
    SoundManager sounds(dir.path().c_str());
    sounds.play(0);
    EXPECT_EQ(sounds.count(), 0);
    EXPECT_EQ(output.err(), dir.file("0.wav") + " is missing\n");
    EXPECT_EQ(output.out(), "Sample 0 is out of bounds\n");
}

TEST(SoundManager, AnEffectSoundsOnceAtTheVolumeSet) {
    TempDir dir;
    const std::string capture = dir.file("mix.raw");
    ASSERT_TRUE(openDiskAudio(capture, 40)) << SDL_GetError();
    dir.write("0.wav", sineWav(440, 0.25, 16000));
    SoundManager sounds(dir.path().c_str());
    sounds.setVolume(50);
    sounds.play(0);
    ASSERT_TRUE(waitUntil([] { return Mix_Playing(-1) == 0; }, 3000));
    SDL_Delay(200); // a few silent buffers after it
    closeAudio();

    const std::vector<std::int16_t> samples = readSamples(capture);
    ASSERT_GT(samples.size(), std::size_t(Rate)); // at least half a second was written
    EXPECT_EQ(loudStretches(samples, Rate / 100, 1000), 1);
    EXPECT_NEAR(peak(samples), 16000 * 50 / 128, 150); // 50 of 128
    // A 0.25 s tone is loud for about 25 windows of 10 ms.
    int loudWindows = 0;
    const std::size_t window = Rate / 100 * Channels;
    for (std::size_t at = 0; at < samples.size(); at += window) {
        loudWindows += rms(samples, at, at + window) > 1000;
    }
    EXPECT_NEAR(loudWindows, 25, 2);
}

} // namespace
