// Sound effects in a browser page: Emscripten's mixer decodes the file itself, but its
// SDL_RWops are not real streams, so the format check reads the file's bytes through a
// memory stream of our own first.
#include "engine/WavLoad.h"

#include "engine/WavFormatCheck.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// Seeks as SDL's memory streams do: clamped to the data.
long seekBytes(SDL_RWops* ops, long offset, int whence) {
    auto& m = ops->hidden.mem;
    const Uint8* from = whence == RW_SEEK_SET ? m.base : whence == RW_SEEK_CUR ? m.here : m.stop;
    m.here = m.base + std::clamp<long>(from - m.base + offset, 0, m.stop - m.base);
    return m.here - m.base;
}

size_t readBytes(SDL_RWops* ops, void* to, size_t size, size_t count) {
    auto& m = ops->hidden.mem;
    const size_t whole = size == 0 ? 0 : std::min<size_t>(count, (m.stop - m.here) / size);
    std::memcpy(to, m.here, whole * size);
    m.here += whole * size;
    return whole;
}

} // namespace

Mix_Chunk* loadWav(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return nullptr;
    }
    std::vector<Uint8> bytes{std::istreambuf_iterator<char>(file),
                             std::istreambuf_iterator<char>()};
    SDL_RWops stream{};
    stream.seek = seekBytes;
    stream.read = readBytes;
    stream.hidden.mem.base = stream.hidden.mem.here = bytes.data();
    stream.hidden.mem.stop = bytes.data() + bytes.size();
    return isConvertibleWav(&stream) ? Mix_LoadWAV(path) : nullptr;
}
