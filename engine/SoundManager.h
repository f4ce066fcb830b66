#pragma once
// Numbered WAV effects, played by number on the mixer's first free channel.
//
// Construction loads "<dir>/0.wav", "<dir>/1.wav", ... until the first number that does not
// load, and reports that one on standard error ("%s is missing"); a file name longer than
// 199 characters is not looked up and counts as missing, and so does a file in any format
// but plain 8- or 16-bit PCM (see isConvertibleWav). Needs the audio device
// opened by initAudio(); without it nothing loads and every play is out of bounds.
// The chunks stay allocated until the process ends (the mixer may still be playing them).

#include <SDL_mixer.h>
#include <vector>

class SoundManager {
public:
    explicit SoundManager(const char* directory);
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Volume of every channel, 0 (silent) to 128 (full).
    void setVolume(int volume);

    // Plays sample `id` once without waiting. Out-of-range ids log "Sample %i is out of
    // bounds" on standard output; with no free channel "Couldn't play sample %i: %s" goes
    // to standard error. Nothing is queued.
    void play(int id);

    int count() const { return static_cast<int>(samples.size()); }

    std::vector<Mix_Chunk*> samples;
};
