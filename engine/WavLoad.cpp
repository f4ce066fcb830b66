#include "engine/WavLoad.h"

#include "engine/WavFormatCheck.h"

Mix_Chunk* loadWav(const char* path) {
    SDL_RWops* stream = SDL_RWFromFile(path, "rb");
    if (stream == nullptr) {
        return nullptr;
    }
    if (!isConvertibleWav(stream)) {
        SDL_RWclose(stream);
        return nullptr;
    }
    return Mix_LoadWAV_RW(stream, 1);
}
