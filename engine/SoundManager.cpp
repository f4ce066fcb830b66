#include "engine/SoundManager.h"

#include "engine/WavLoad.h"

#include <SDL.h>
#include <cstdio>
#include <string>

namespace {

// File names longer than this are not looked up (they count as missing).
constexpr std::size_t MaxNameLength = 199;

} // namespace

SoundManager::SoundManager(const char* directory) {
    for (int i = 0;; ++i) {
        const std::string name = std::string(directory) + "/" + std::to_string(i) + ".wav";
        Mix_Chunk* chunk = name.size() <= MaxNameLength ? loadWav(name.c_str()) : nullptr;
        if (chunk == nullptr) {
            std::fprintf(stderr, "%s is missing\n", name.c_str());
            return;
        }
        samples.push_back(chunk);
    }
}

// The chunks are left to the process's end: the mixer may still be playing them.
SoundManager::~SoundManager() = default;

void SoundManager::setVolume(int volume) {
    Mix_Volume(-1, volume);
}

void SoundManager::play(int id) {
    if (samples.empty() || static_cast<unsigned>(id) >= samples.size()) {
        std::printf("Sample %i is out of bounds\n", id);
        return;
    }
    if (Mix_PlayChannelTimed(-1, samples[static_cast<unsigned>(id)], 0, -1) < 0) {
        std::fprintf(stderr, "Couldn't play sample %i: %s\n", id, SDL_GetError());
    }
}
