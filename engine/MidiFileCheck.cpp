#include "engine/MidiFileCheck.h"

#include "engine/ByteOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The audio callback works through every event that falls due while it holds the audio
// lock, about 20 microseconds each: a file past these limits would stall the sound (and
// the game waiting on the lock) for seconds. Real songs stay far below them.
constexpr std::size_t MaxEvents = 1000000;
constexpr std::size_t MaxEventsAtOneTick = 10000;

// A read cursor that refuses to move past `end`.
struct Cursor {
    const unsigned char* at;
    const unsigned char* end;

    std::size_t left() const { return static_cast<std::size_t>(end - at); }

    bool skip(std::size_t n) {
        if (n > left()) {
            return false;
        }
        at += n;
        return true;
    }

    bool byte(unsigned& value) {
        if (at == end) {
            return false;
        }
        value = *at++;
        return true;
    }

    // A variable-length quantity: at most four bytes, seven bits each.
    bool varLength(std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            unsigned b;
            if (!byte(b)) {
                return false;
            }
            value = (value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) {
                return true;
            }
        }
        return false;
    }
};

// Walks the events of one track chunk, adding the tick of each to `ticks`; false when one
// runs past the chunk's end, is not an event a file may hold, or is one too many.
bool trackEventsFit(Cursor track, std::vector<std::uint64_t>& ticks) {
    unsigned runningStatus = 0;
    std::uint64_t tick = 0;
    while (track.left() > 0) {
        std::uint32_t delta;
        unsigned status;
        if (!track.varLength(delta) || !track.byte(status) || ticks.size() == MaxEvents) {
            return false;
        }
        tick += delta;
        ticks.push_back(tick);
        if (status < 0x80) {
            // Running status: this byte is already the first data byte.
            if (runningStatus == 0) {
                return false;
            }
            --track.at;
            status = runningStatus;
        }
        if (status < 0xF0) {
            runningStatus = status;
            const unsigned kind = status & 0xF0;
            if (!track.skip(kind == 0xC0 || kind == 0xD0 ? 1 : 2)) {
                return false;
            }
            continue;
        }
        runningStatus = 0;
        std::uint32_t length;
        if (status == 0xFF) {
            unsigned type;
            if (!track.byte(type) || !track.varLength(length) || !track.skip(length)) {
                return false;
            }
            if (type == 0x2F) {
                return true; // end of track: anything after it is never read
            }
        } else if (status == 0xF0 || status == 0xF7) {
            if (!track.varLength(length) || !track.skip(length)) {
                return false;
            }
        } else {
            return false; // system common and real-time messages have no place in a file
        }
    }
    return true;
}

} // namespace

bool isPlayableMidiFile(const unsigned char* data, std::size_t size) {
    if (data == nullptr || size < 14 || std::memcmp(data, "MThd", 4) != 0) {
        return false;
    }
    const std::uint32_t headerLength = bigEndian32(data + 4);
    if (headerLength < 6 || headerLength > size - 8) {
        return false;
    }
    const unsigned format = bigEndian16(data + 8);
    const unsigned tracks = bigEndian16(data + 10);
    const unsigned division = bigEndian16(data + 12);
    if (format > 2 || tracks == 0 || division == 0 || (division & 0x8000) != 0) {
        return false;
    }

    Cursor file{data + 8 + headerLength, data + size};
    std::vector<std::uint64_t> ticks; // of every event of every track
    unsigned found = 0;
    while (found < tracks) {
        if (file.left() < 8) {
            return false;
        }
        const unsigned char* id = file.at;
        const std::uint32_t length = bigEndian32(file.at + 4);
        file.at += 8;
        if (length > file.left()) {
            return false;
        }
        if (std::memcmp(id, "MTrk", 4) == 0) {
            if (!trackEventsFit(Cursor{file.at, file.at + length}, ticks)) {
                return false;
            }
            ++found;
        }
        file.at += length;
    }
    std::sort(ticks.begin(), ticks.end());
    for (std::size_t i = MaxEventsAtOneTick; i < ticks.size(); ++i) {
        if (ticks[i] == ticks[i - MaxEventsAtOneTick]) {
            return false; // one more than the limit, all at one tick
        }
    }
    return true;
}
