#include "game/Recording.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

const char Mark[8] = {'P', 'K', 'R', 'e', 'p', 'l', 'a', 'y'};
constexpr std::uint32_t Version = 1;
constexpr std::size_t HeaderSize = sizeof Mark + 5 * 4;
constexpr std::size_t MaxPayload = Recording::MaxFrames * 5 + Recording::MaxDrawBytes;
// The longest frame the millisecond clock can measure; nothing longer is a frame time.
constexpr float LongestFrame = 4294968.0f;

void put32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

std::uint32_t get32(const std::string& in, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float floatOf(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Inflates `in` from `at` to its end into exactly `size` bytes; "" or the problem.
std::string inflateAll(const std::string& in, std::size_t at, std::size_t size, std::string& out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return "damaged";
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data() + at));
    stream.avail_in = static_cast<uInt>(in.size() - at);
    int status = Z_OK;
    // Grown as the data comes: a claimed size costs nothing until the data bears it out.
    out.resize(std::min<std::size_t>(size + 1, 1 << 20));
    while (status == Z_OK) {
        if (stream.total_out == out.size()) {
            if (out.size() > size) {
                break; // more than claimed
            }
            out.resize(std::min(out.size() * 2, size + 1));
        }
        stream.next_out = reinterpret_cast<Bytef*>(&out[stream.total_out]);
        stream.avail_out = static_cast<uInt>(out.size() - stream.total_out);
        status = inflate(&stream, Z_NO_FLUSH);
    }
    const std::size_t produced = stream.total_out;
    const bool allTaken = stream.avail_in == 0;
    inflateEnd(&stream);
    out.resize(std::min(produced, out.size()));
    if (status == Z_BUF_ERROR && allTaken) {
        return "cut short";
    }
    if (status != Z_STREAM_END || !allTaken || produced > size) {
        return "damaged";
    }
    return produced < size ? "claims more frames or draws than it holds" : "";
}

} // namespace

void Recording::addDraw(std::uint32_t value) {
    do {
        const auto low = static_cast<char>(value & 0x7f);
        value >>= 7;
        draws.push_back(static_cast<char>(low | (value != 0 ? 0x80 : 0)));
    } while (value != 0);
    ++drawCount;
}

bool readDraw(const std::string& bytes, std::size_t& at, std::uint32_t& value) {
    value = 0;
    for (int shift = 0; at < bytes.size() && shift < 32; shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[at++]);
        value |= static_cast<std::uint32_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0) {
            return value <= 0x7fffffff && (shift == 0 || byte != 0); // no overlong forms
        }
    }
    return false;
}

std::string Recording::encode() const {
    const std::size_t n = times.size();
    std::string payload(flags.begin(), flags.end());
    for (int plane = 0; plane < 4; ++plane) {
        for (float time : times) {
            payload.push_back(static_cast<char>((bitsOf(time) >> (8 * plane)) & 0xff));
        }
    }
    payload += draws;

    std::string out(Mark, sizeof Mark);
    for (std::uint32_t field : {Version, bitsOf(score), static_cast<std::uint32_t>(n), drawCount,
                                static_cast<std::uint32_t>(payload.size())}) {
        put32(out, field);
    }
    uLongf packed = compressBound(payload.size());
    out.resize(HeaderSize + packed);
    compress2(reinterpret_cast<Bytef*>(&out[HeaderSize]), &packed,
              reinterpret_cast<const Bytef*>(payload.data()), payload.size(), Z_BEST_COMPRESSION);
    out.resize(HeaderSize + packed);
    return out;
}

bool Recording::decode(const std::string& bytes, std::string& problem) {
    if (bytes.empty()) {
        problem = "empty";
        return false;
    }
    if (bytes.compare(0, sizeof Mark, Mark, std::min(bytes.size(), sizeof Mark)) != 0) {
        problem = "not a Pyrokettle recording";
        return false;
    }
    if (bytes.size() < HeaderSize) {
        problem = "cut short";
        return false;
    }
    if (const std::uint32_t version = get32(bytes, 8); version != Version) {
        problem = "version " + std::to_string(version) + ", this game reads version 1";
        return false;
    }
    const std::uint32_t frames = get32(bytes, 16), count = get32(bytes, 20),
                        size = get32(bytes, 24);
    if (frames > MaxFrames || size > MaxPayload || 5ull * frames + count > size) {
        problem = "claims more frames or draws than it holds";
        return false;
    }
    std::string payload;
    problem = inflateAll(bytes, HeaderSize, size, payload);
    if (!problem.empty()) {
        return false;
    }
    flags.assign(payload.begin(), payload.begin() + frames);
    times.assign(frames, 0.0f);
    for (std::size_t i = 0; i < frames; ++i) {
        std::uint32_t bits = 0;
        for (std::size_t plane = 0; plane < 4; ++plane) {
            bits |= std::uint32_t(static_cast<unsigned char>(payload[frames * (1 + plane) + i]))
                    << (8 * plane);
        }
        times[i] = floatOf(bits);
        // A time the clock cannot measure would only push the play state out of range.
        if (flags[i] > (FlyFirst | FlySecond | Paused) || !(times[i] >= 0.0f) ||
            !(times[i] <= LongestFrame)) {
            problem = "damaged";
            return false;
        }
    }
    draws = payload.substr(5ull * frames);
    std::size_t at = 0;
    for (std::uint32_t i = 0, value; i < count; ++i) {
        if (!readDraw(draws, at, value)) {
            problem = at < draws.size() ? "damaged" : "claims more frames or draws than it holds";
            return false;
        }
    }
    if (at != draws.size()) {
        problem = "damaged";
        return false;
    }
    drawCount = count;
    score = floatOf(get32(bytes, 12));
    if (!std::isfinite(score)) {
        problem = "damaged";
        return false;
    }
    return true;
}

bool readRecording(const std::string& path, Recording& recording, std::string& problem) {
    // Not blocking: a FIFO in the recording's place must not hang the game until a writer comes.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = fd < 0 ? std::strerror(errno) : "not a regular file";
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    if (info.st_size > Recording::MaxFileBytes) {
        close(fd);
        problem = "larger than 64 MiB";
        return false;
    }
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    int failure = 0;
    while (done < bytes.size() && failure == 0) {
        const ssize_t got = read(fd, &bytes[done], bytes.size() - done);
        if (got <= 0) {
            failure = got == 0 ? -1 : errno == EINTR ? 0 : errno; // -1: shorter than it was
        } else {
            done += static_cast<std::size_t>(got);
        }
    }
    close(fd);
    if (failure > 0) {
        problem = std::strerror(failure);
        return false;
    }
    bytes.resize(done);
    return recording.decode(bytes, problem);
}
