#include "engine/SoundManager.h"
#include "engine/Platform.h"

#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using namespace audiotest;

// Names past 199 characters are not looked up: "<long>/0.wav" is 199, so 0 to 9 fit; a WAV
// format the converter cannot take counts as missing.
TEST(SoundManager, LoadingStopsAtTheFirstNumberThatDoesNotLoadOrConvert) {
    ASSERT_EQ(initAudio(22050, 2), 0) << SDL_GetError();
    const auto expectLoads = [](const std::string& set, int loaded) {
        CapturedOutput output;
        SoundManager sounds(set.c_str());
        EXPECT_EQ(sounds.count(), loaded) << set;
        EXPECT_EQ(output.err(), set + "/" + std::to_string(loaded) + ".wav is missing\n");
        EXPECT_EQ(output.out(), "");
    };
    TempDir dir;
    const std::string click = sineWav(440, 0.05, 8000), gap = dir.file("gap"),
                      junk = dir.file("junk"),
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
                    << (files[i] == 'w' ? click : "RIFF, or not");
            }
        }
        expectLoads(set, loaded);
    }
    const struct {
        int tag, channels, rate, block, bits;
        bool loads;
    } formats[] = {{1, 2, 192000, 4, 16, 1}, {1, 1, 4000, 1, 8, 1},     {1, 0, 22050, 0, 16, 0},
                   {1, 2, 0, 4, 16, 0},      {1, 2, 1, 4, 16, 0},       {1, 1, 3999, 1, 8, 0},
                   {1, 2, 192001, 4, 16, 0}, {1, 2, 22050, 2, 16, 0},   {1, 3, 22050, 6, 16, 0},
                   {1, 1, 22050, 3, 24, 0},  {0x11, 0, 22050, 0, 4, 0}, {2, 1, 22050, 0, 4, 0}};
    const auto le = [](std::uint32_t value, int count) {
        std::string out;
        put(out, value, count);
        return out;
    };
    for (const auto& [tag, channels, rate, block, bits, loads] : formats) {
        TempDir one;
        one.write("0.wav", "RIFF" + le(136, 4) + "WAVEfmt " + le(16, 4) + le(tag, 2) +
                               le(channels, 2) + le(rate, 4) + le(rate * block, 4) + le(block, 2) +
                               le(bits, 2) + "data" + le(100, 4) + std::string(100, '\x40'));
        expectLoads(one.path(), loads);
    }
}

// Two at once, on two channels, both at the volume set.
TEST(SoundManager, EffectsSoundOnceAtTheVolumeSet) {
    TempDir dir;
    const std::string capture = dir.file("mix.raw");
    ASSERT_TRUE(openDiskAudio(capture, 40)) << SDL_GetError();
    dir.write("0.wav", sineWav(440, 0.25, 16000));
    SoundManager sounds(dir.path().c_str());
    sounds.setVolume(50);
    SDL_LockAudio(); // both start in the same buffer
    sounds.play(0);
    sounds.play(0);
    SDL_UnlockAudio();
    ASSERT_TRUE(waitUntil([] { return Mix_Playing(-1) == 0; }, 3000));
    SDL_Delay(200); // a few silent buffers after it
    closeAudio();

    const Samples samples = readSamples(capture);
    ASSERT_GT(samples.size(), std::size_t(Rate)); // at least half a second was written
    EXPECT_NEAR(peak(samples), 2 * 16000 * 50 / 128, 300);
    // A quarter of a second of a sine tone at that peak.
    EXPECT_NEAR(rms(samples) * rms(samples) * samples.size() / Channels,
                0.5 * 12500.0 * 12500.0 * 0.25 * Rate, 0.5 * 12500.0 * 12500.0 * 0.03 * Rate);
}

} // namespace
