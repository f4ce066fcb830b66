// The shipped effects: in the device's format, short, clean at both ends, and levelled.
// (That the game's loaders take every effect and track is MediaInGameTest's part.)
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

TEST(MediaSound, EffectsArePcm16AtTheDeviceRateShortCleanAndLevelled) {
    for (int id = 0; id < 7; ++id) {
        const std::string path =
            std::string(PROJECT_SOURCE_DIR) + "/media/sound/" + std::to_string(id) + ".wav";
        SCOPED_TRACE(path);
        SDL_AudioSpec wav;
        Uint8* buffer = nullptr;
        Uint32 bytes = 0;
        ASSERT_NE(SDL_LoadWAV(path.c_str(), &wav, &buffer, &bytes), nullptr) << SDL_GetError();
        EXPECT_EQ(wav.format, AUDIO_S16LSB);
        EXPECT_EQ(wav.freq, 22050);
        EXPECT_TRUE(wav.channels == 1 || wav.channels == 2);

        const Sint16* samples = reinterpret_cast<const Sint16*>(buffer);
        const std::size_t count = bytes / 2;
        const double seconds = static_cast<double>(count) / wav.channels / wav.freq;
        EXPECT_GT(seconds, 0.04);
        EXPECT_LT(seconds, 1.0);
        // No click when the mixer starts or drops the chunk; no clipping; audible at the
        // game's channel volume.
        EXPECT_LE(std::abs(samples[0]), 64);
        EXPECT_LE(std::abs(samples[count - 1]), 64);
        int peak = 0;
        for (std::size_t i = 0; i < count; ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        }
        EXPECT_LT(peak, 32767);
        EXPECT_GT(20.0 * std::log10(peak / 32767.0), -12.0);
        SDL_FreeWAV(buffer);
    }
}

} // namespace
