#include "engine/WavFormatCheck.h"

#include "engine/ByteOrder.h"

#include <cstring>

namespace {

constexpr Uint32 MinRate = 4000;
constexpr Uint32 MaxRate = 192000;

// The 16 bytes every format chunk starts with.
bool isPlainPcm(const unsigned char* format) {
    const unsigned encoding = littleEndian16(format);
    const unsigned channels = littleEndian16(format + 2);
    const Uint32 rate = littleEndian32(format + 4);
    const unsigned blockAlign = littleEndian16(format + 12);
    const unsigned bits = littleEndian16(format + 14);
    return encoding == 1 && (channels == 1 || channels == 2) && (bits == 8 || bits == 16) &&
           rate >= MinRate && rate <= MaxRate && blockAlign == channels * bits / 8;
}

// Walks the chunks the way SDL 1.2 does (no padding after odd sizes, only "fact" and
// "LIST" skipped before the format), so that the chunk judged is the one SDL will use.
bool formatIsPlainPcm(SDL_RWops* stream) {
    unsigned char head[12];
    if (SDL_RWread(stream, head, sizeof head, 1) != 1 || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0) {
        return false;
    }
    unsigned char chunk[8];
    while (SDL_RWread(stream, chunk, sizeof chunk, 1) == 1) {
        const Uint32 length = littleEndian32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char format[16];
            return length >= sizeof format && SDL_RWread(stream, format, sizeof format, 1) == 1 &&
                   isPlainPcm(format);
        }
        if ((std::memcmp(chunk, "fact", 4) != 0 && std::memcmp(chunk, "LIST", 4) != 0) ||
            length > 0x7FFFFFFF || SDL_RWseek(stream, static_cast<int>(length), RW_SEEK_CUR) < 0) {
            return false;
        }
    }
    return false;
}

} // namespace

bool isConvertibleWav(SDL_RWops* stream) {
    const int start = SDL_RWtell(stream);
    const bool convertible = formatIsPlainPcm(stream);
    SDL_RWseek(stream, start, RW_SEEK_SET);
    if (!convertible) {
        SDL_SetError("Not a plain 8- or 16-bit PCM WAVE file of 1 or 2 channels");
    }
    return convertible;
}
