// The committed music as the player hears it: music, not noise, under the effects.
#include "engine/Music.h"
#include "engine/SoundManager.h"
#include "support/AudioTools.h"

#include <SDL.h>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const std::string Media = std::string(PROJECT_SOURCE_DIR) + "/media";

// The title track through the game's synthesizer and SoundFont, then a pickup at the effect
// volume: music, not noise, and softer than the effects without vanishing.
TEST(Media, TheMusicIsMusicAndSitsUnderTheEffects) {
    using namespace audiotest;
    const std::string capture = std::string(TEST_OUTPUT_DIR) + "/title-then-effect.raw";
    ASSERT_TRUE(openDiskAudio(capture, 20)) << SDL_GetError();
    SoundManager sounds((Media + "/sound").c_str());
    sounds.setVolume(50);
    const std::uint32_t title = openTrack((Media + "/sound/BGLOOP2.mid").c_str());
    ASSERT_NE(title, 0u);
    playTrack(title);
    ASSERT_TRUE(
        waitUntil([&] { return readSamples(capture).size() > 6u * Rate * Channels; }, 20000));
    closeAllTracks();
    SDL_Delay(300);
    const std::size_t effectFrom = readSamples(capture).size();
    sounds.play(2);
    ASSERT_TRUE(waitUntil([] { return Mix_Playing(-1) == 0; }, 5000));
    closeAudio();
    const Samples all = readSamples(capture);
    const Samples music(all.begin() + Rate * Channels, all.begin() + 6 * Rate * Channels);
    const Samples effect(all.begin() + effectFrom, all.end());
    const double musicDb = 20 * std::log10(rms(music) / 32767),
                 effectDb = 20 * std::log10(peak(effect) / 32767.0);
    EXPECT_GT(smoothness(music), 0.9);
    EXPECT_GT(musicDb, -35.0);
    EXPECT_LT(musicDb, effectDb);
}

} // namespace
