#include "game/Recording.h"

#include "engine/ByteOrder.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char Mark[8] = {'P', 'K', 'R', 'e', 'p', 'l', 'a', 'y'};
constexpr std::uint32_t Version = 2;
constexpr std::size_t HeaderSize = sizeof Mark + 6 * 4;
constexpr std::size_t MaxPayload = Recording::MaxFrames * 5 + Recording::MaxDrawBytes;
// The longest frame the millisecond clock can measure; nothing longer is a frame time.
constexpr float LongestFrame = 4294968.0f;

void put32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

std::uint32_t get32(const std::string& in, std::size_t at) {
    return littleEndian32(reinterpret_cast<const unsigned char*>(in.data()) + at);
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

// FNV-1a: a damaged file is told from a game that plays differently.
std::uint32_t checksum(const std::string& bytes) {
    std::uint32_t hash = 2166136261u;
    for (const unsigned char byte : bytes) {
        hash = (hash ^ byte) * 16777619u;
    }
    return hash;
}

// Runs of equal bytes packed: a control byte c below 128 is followed by c + 1 bytes taken as
// they are; from 128 up, by one byte that stands c - 126 times (2 to 129). The same on every
// platform, with nothing to link.
constexpr std::size_t LongestRun = 129, LongestLiteral = 128;

std::string packRuns(const std::string& in) {
    std::string out;
    std::size_t literal = std::string::npos; // the control byte of the literal being written
    for (std::size_t i = 0; i < in.size();) {
        std::size_t run = 1;
        while (i + run < in.size() && run < LongestRun && in[i + run] == in[i]) {
            ++run;
        }
        if (run >= 3) {
            out.push_back(static_cast<char>(run + 126));
            out.push_back(in[i]);
            literal = std::string::npos;
            i += run;
            continue;
        }
        if (literal == std::string::npos ||
            static_cast<unsigned char>(out[literal]) == LongestLiteral - 1) {
            literal = out.size();
            out.push_back(0);
        } else {
            out[literal] = static_cast<char>(static_cast<unsigned char>(out[literal]) + 1);
        }
        out.push_back(in[i++]);
    }
    return out;
}

// Unpacks `in` from `at` to its end into exactly `size` bytes; "" or the problem. The output
// grows with the data, so a claimed size costs nothing until the data bears it out.
std::string unpackRuns(const std::string& in, std::size_t at, std::size_t size, std::string& out) {
    out.clear();
    while (at < in.size() && out.size() < size) {
        const unsigned control = static_cast<unsigned char>(in[at++]);
        const bool copied = control < LongestLiteral;
        const std::size_t count = copied ? control + 1 : control - 126;
        if (at + (copied ? count : 1) > in.size()) {
            return "cut short";
        }
        if (out.size() + count > size) {
            return "damaged";
        }
        if (copied) {
            out.append(in, at, count);
            at += count;
        } else {
            out.append(count, in[at++]);
        }
    }
    if (out.size() < size) {
        return "cut short";
    }
    return at == in.size() ? "" : "damaged";
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
                                static_cast<std::uint32_t>(payload.size()), checksum(payload)}) {
        put32(out, field);
    }
    return out + packRuns(payload);
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
        problem = "version " + std::to_string(version) + ", this game reads version " +
                  std::to_string(Version);
        return false;
    }
    const std::uint32_t frames = get32(bytes, 16), count = get32(bytes, 20),
                        size = get32(bytes, 24);
    if (frames > MaxFrames || size > MaxPayload || 5ull * frames + count > size) {
        problem = "claims more frames or draws than it holds";
        return false;
    }
    std::string payload;
    problem = unpackRuns(bytes, HeaderSize, size, payload);
    if (problem.empty() && checksum(payload) != get32(bytes, 28)) {
        problem = "damaged";
    }
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
