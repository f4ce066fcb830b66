#include "engine/MidiSynth.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Without a device nobody hears the synthesizer; it only keeps the players' time, so the
// lowest rate FluidSynth takes keeps the catching up cheap.
constexpr int SilentRate = 8000;
// The most audio advance() renders in one call; a longer gap only delays the players.
constexpr int MaxCatchUpSeconds = 10;
// Frames rendered per step into the stack buffers.
constexpr int BlockFrames = 256;

// Writes one sample, -1..1, in the device's format (8 or 16 bits, signed or not, either
// byte order) and returns the next write position.
Uint8* store(float value, Uint16 format, Uint8* out) {
    value = std::clamp(value, -1.0f, 1.0f);
    const bool isSigned = (format & 0x8000) != 0;
    if ((format & 0xFF) == 8) {
        const long sample = std::lround(value * 127.0f);
        *out = static_cast<Uint8>(isSigned ? sample : sample + 128);
        return out + 1;
    }
    const long sample = std::lround(value * 32767.0f);
    const Uint16 bits = static_cast<Uint16>(isSigned ? sample : sample + 32768);
    const bool bigEndian = (format & 0x1000) != 0;
    out[bigEndian ? 0 : 1] = static_cast<Uint8>(bits >> 8);
    out[bigEndian ? 1 : 0] = static_cast<Uint8>(bits & 0xFF);
    return out + 2;
}

// FluidSynth hands files its SoundFont loader refuses to its DLS loader, which complains
// on standard error; only files that start like a SoundFont are offered.
bool looksLikeSoundFont(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    char head[12] = {};
    const bool read = std::fread(head, 1, sizeof head, file) == sizeof head;
    std::fclose(file);
    return read && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "sfbk", 4) == 0;
}

} // namespace

MidiSynth::MidiSynth(const std::vector<std::string>& soundFonts) {
    // FluidSynth reports through its own log on stdout/stderr; our callers report what matters.
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, nullptr, nullptr);
    }

    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    hasDevice_ = Mix_QuerySpec(&frequency, &format, &channels) != 0;
    if (hasDevice_ && ((format & 0xFF) == 8 || (format & 0xFF) == 16) && channels > 0) {
        rate_ = frequency;
        format_ = format;
        channels_ = channels;
    } else {
        hasDevice_ = false;
        rate_ = SilentRate;
    }

    settings_ = new_fluid_settings();
    if (settings_ == nullptr) {
        return;
    }
    fluid_settings_setnum(settings_, "synth.sample-rate", rate_);
    // Pinning the SoundFont in RAM needs privileges a game does not have.
    fluid_settings_setint(settings_, "synth.lock-memory", 0);
    // The default gain leaves the music far below the effects; this level keeps the
    // loudest passages of our tracks clear of clipping.
    fluid_settings_setnum(settings_, "synth.gain", 0.5);
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    // A player that ends would reset the whole synthesizer, cutting off a track started
    // after it; the music operations reset it themselves when nothing else plays.
    fluid_settings_setint(settings_, "player.reset-synth", 0);
    if (!hasDevice_) {
        fluid_settings_setint(settings_, "synth.reverb.active", 0);
        fluid_settings_setint(settings_, "synth.chorus.active", 0);
    }
    synth_ = new_fluid_synth(settings_);
    if (synth_ == nullptr) {
        return;
    }
    lastAdvance_ = std::chrono::steady_clock::now();

    if (!hasDevice_) {
        return;
    }
    for (const std::string& path : soundFonts) {
        if (looksLikeSoundFont(path) && fluid_synth_sfload(synth_, path.c_str(), 1) != FLUID_FAILED) {
            return;
        }
    }
    std::fprintf(stderr, "WARN) No General MIDI SoundFont found; music is silent "
                         "(install timgm6mb-soundfont)\n");
}

MidiSynth::~MidiSynth() {
    disconnect();
    if (synth_ != nullptr) {
        delete_fluid_synth(synth_);
    }
    if (settings_ != nullptr) {
        delete_fluid_settings(settings_);
    }
}

void MidiSynth::lock() {
    SDL_LockAudio();
}

void MidiSynth::unlock() {
    SDL_UnlockAudio();
}

fluid_player_t* MidiSynth::newPlayer(const std::vector<unsigned char>& file) {
    if (synth_ == nullptr) {
        return nullptr;
    }
    fluid_player_t* player = new_fluid_player(synth_);
    if (player == nullptr) {
        return nullptr;
    }
    if (fluid_player_add_mem(player, file.data(), file.size()) != FLUID_OK) {
        delete_fluid_player(player);
        return nullptr;
    }
    return player;
}

void MidiSynth::connect() {
    if (hasDevice_ && synth_ != nullptr && !connected_) {
        Mix_HookMusic(render, this);
        connected_ = true;
    }
}

void MidiSynth::disconnect() {
    if (connected_) {
        Mix_HookMusic(nullptr, nullptr);
        connected_ = false;
    }
}

void MidiSynth::silence() {
    if (synth_ != nullptr) {
        fluid_synth_all_sounds_off(synth_, -1);
        fluid_synth_system_reset(synth_);
    }
}

void MidiSynth::advance() {
    if (hasDevice_ || synth_ == nullptr) {
        return;
    }
    using namespace std::chrono;
    const steady_clock::time_point now = steady_clock::now();
    const long long elapsed = duration_cast<microseconds>(now - lastAdvance_).count();
    const long long owed = std::min<long long>(elapsed * rate_ / 1000000, MaxCatchUpSeconds * rate_);
    // Keep the fraction of a frame not rendered yet for the next call.
    lastAdvance_ += microseconds(owed * 1000000 / rate_);
    if (elapsed > MaxCatchUpSeconds * 1000000LL) {
        lastAdvance_ = now;
    }
    renderFrames(static_cast<int>(owed), nullptr);
}

void MidiSynth::render(void* self, Uint8* stream, int length) {
    auto* synth = static_cast<MidiSynth*>(self);
    const int frameBytes = ((synth->format_ & 0xFF) / 8) * synth->channels_;
    synth->renderFrames(length / frameBytes, stream);
}

// Renders `frames` frames; writes them to `out` in the device's format, or drops them
// when `out` is null.
void MidiSynth::renderFrames(int frames, Uint8* out) {
    float left[BlockFrames];
    float right[BlockFrames];
    while (frames > 0) {
        const int n = std::min(frames, BlockFrames);
        fluid_synth_write_float(synth_, n, left, 0, 1, right, 0, 1);
        frames -= n;
        if (out == nullptr) {
            continue;
        }
        for (int i = 0; i < n; ++i) {
            if (channels_ == 1) {
                out = store(0.5f * (left[i] + right[i]), format_, out);
                continue;
            }
            out = store(left[i], format_, out);
            out = store(right[i], format_, out);
            for (int c = 2; c < channels_; ++c) {
                out = store(0.0f, format_, out);
            }
        }
    }
}
