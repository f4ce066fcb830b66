#pragma once
// The software synthesizer behind the music operations: one FluidSynth synthesizer with a
// General MIDI SoundFont, whose output is fed into the audio device that SDL_mixer holds
// (through the mixer's music hook), and the MIDI file players that drive it.
//
// The players advance with the samples the synthesizer renders, so music time is audio
// time: while the device is open the mixer's audio thread renders; when no device is open
// the synthesizer renders silently on the caller's thread, catching up with the wall
// clock whenever advance() is called. Either way there is one clock and no thread of our own.
//
// Every call that touches a player must be made between lock() and unlock(), which keep
// the audio thread out. FluidSynth's own logging is switched off.

#include <SDL_mixer.h>
#include <chrono>
#include <cstddef>
#include <fluidsynth.h>
#include <string>
#include <vector>

class MidiSynth {
public:
    // Creates the synthesizer. When the mixer's device is open it renders at the device's
    // rate and loads the first of `soundFonts` that loads; when none does it prints
    // "WARN) No General MIDI SoundFont found; music is silent (install timgm6mb-soundfont)"
    // on standard error and renders silence. With no device open no SoundFont is loaded and
    // nothing is printed.
    explicit MidiSynth(const std::vector<std::string>& soundFonts);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // True when the synthesizer could be created; nothing else works otherwise.
    bool valid() const { return synth_ != nullptr; }
    // True when the output reaches the mixer's device.
    bool audible() const { return hasDevice_; }

    void lock();
    void unlock();

    // A new player holding a copy of the file's bytes, ready to play from the beginning;
    // nullptr when FluidSynth refuses it. Call under lock(); free with delete_fluid_player
    // under lock().
    fluid_player_t* newPlayer(const std::vector<unsigned char>& file);

    // Starts and stops feeding the mixer's music hook (nothing without a device).
    void connect();
    void disconnect();

    // Ends every sounding note at once and resets the channels and effects. Call under lock().
    void silence();

    // With no device open: renders, and throws away, the audio owed since the previous call,
    // so players keep time with the wall clock. With a device it does nothing.
    void advance();

private:
    static void render(void* self, Uint8* stream, int length);
    void renderFrames(int frames, Uint8* out);

    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    bool hasDevice_ = false;
    bool connected_ = false;
    Uint16 format_ = AUDIO_S16SYS;
    int channels_ = 2;
    int rate_ = 0;
    std::chrono::steady_clock::time_point lastAdvance_;
};
