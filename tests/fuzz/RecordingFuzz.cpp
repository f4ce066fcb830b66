// libFuzzer target: the recording reader. What it reads must write back and read again the
// same, and replay without a crash. An input starting with 'W' is wrapped first (16 bytes of
// header fields, the rest compressed), so that the fuzzer gets past zlib's checksum.
#include "game/Recording.h"
#include "game/ReplayCheck.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <zlib.h>

namespace {

std::string wrapped(const std::string& input) {
    const std::size_t start = std::min<std::size_t>(17, input.size());
    uLongf size = compressBound(input.size() - start);
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&packed[0]), &size,
              reinterpret_cast<const Bytef*>(input.data() + start), input.size() - start, 1);
    return std::string("PKReplay\1\0\0\0", 12) + input.substr(1, 16) + packed.substr(0, size);
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
