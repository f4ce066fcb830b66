// libFuzzer target: the recording reader. What it reads must write back and read again the
// same, and replay without a crash. An input starting with 'W' is wrapped first (12 bytes of
// header fields, then the payload with its size and checksum, packed as plain literals), so
// that the fuzzer gets past the checksum.
#include "game/Recording.h"
#include "game/ReplayCheck.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

void put32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>(value >> shift));
    }
}

std::string wrapped(const std::string& input) {
    const std::size_t start = std::min<std::size_t>(13, input.size());
    const std::string payload = input.substr(start);
    std::uint32_t hash = 2166136261u;
    for (const unsigned char byte : payload) {
        hash = (hash ^ byte) * 16777619u;
    }
    std::string file = std::string("PKReplay\2\0\0\0", 12) + input.substr(1, 12);
    put32(file, static_cast<std::uint32_t>(payload.size()));
    put32(file, hash);
    for (std::size_t at = 0; at < payload.size(); at += 128) {
        const std::string piece = payload.substr(at, 128);
        file += static_cast<char>(piece.size() - 1) + piece;
    }
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    Recording read, again;
    std::string problem;
    if (!read.decode(size > 0 && data[0] == 'W' ? wrapped(input) : input, problem)) {
        if (problem.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    const std::string written = read.encode(); // every field goes into it
    if (!again.decode(written, problem) || again.encode() != written) {
        __builtin_trap();
    }
    if (read.times.size() <= 5000) { // longer ones cost time, not coverage
        checkReplay(read);
    }
    return 0;
}
