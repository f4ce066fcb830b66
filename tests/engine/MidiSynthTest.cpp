#include "engine/MidiSynth.h"

#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

using namespace audiotest;

TEST(MidiSynth, WithoutASoundFontPlayersKeepTimeInSilence) {
    TempDir dir;
    const std::string capture = dir.file("mix.raw");
    ASSERT_TRUE(openDiskAudio(capture, 40)) << SDL_GetError();
    CapturedOutput output;
    MidiSynth synth({dir.file("absent.sf2"), dir.write("broken.sf2", "not a SoundFont")});
    EXPECT_EQ(output.err(), "WARN) No General MIDI SoundFont found; music is silent (install timgm6mb-soundfont)\n");
    EXPECT_EQ(output.out(), "");
    ASSERT_TRUE(synth.valid() && synth.audible());

    const std::string song = midiNote(0, 96);
    synth.lock();
    fluid_player_t* player = synth.newPlayer(std::vector<unsigned char>(song.begin(), song.end()));
    ASSERT_NE(player, nullptr);
    fluid_player_play(player);
    synth.unlock();
    synth.connect();
    // The player moves on with the samples the mixer pulls, to the file's last tick.
    EXPECT_TRUE(waitUntil(
        [&] {
            synth.lock();
            const int total = fluid_player_get_total_ticks(player);
            const bool done = total > 0 && fluid_player_get_current_tick(player) >= total;
            synth.unlock();
            return done;
        },
        3000));
    synth.lock();
    delete_fluid_player(player);
    synth.unlock();
    synth.disconnect();
    closeAudio();
    const std::vector<std::int16_t> samples = readSamples(capture);
    ASSERT_GT(samples.size(), std::size_t(Rate));
    EXPECT_EQ(peak(samples), 0);
}

} // namespace
