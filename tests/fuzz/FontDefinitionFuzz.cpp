// libFuzzer target: the font definition reader (MoxBitmapFont::loadDefinition) on
// arbitrary file contents.
//
// The reader ends the process (exit status 1) on most malformed lines, and that is its
// intended behaviour, not a fault; libFuzzer would report every such input as a crash.
// So each input is first run through wouldEndProcess(), which applies the reader's own
// line rules (how lines are cut, which words make a common, char or kerning line) and
// skips the inputs the reader refuses by exiting. The check is kept in step with the
// reader by the fuzzing itself: an input it passes that still makes the reader exit shows
// up as a crash ("fuzz target exited"). Everything else goes through the real reader,
// from a real file, and the result is checked for what must always hold.
#include "engine/MoxBitmapFont.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::string word;
    for (char c : line) {
        if (c == ' ') {
            if (!word.empty()) {
                out.push_back(word);
            }
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        out.push_back(word);
    }
    return out;
}

// Cuts lines the way the reader does: at line feeds, one CR before the line feed dropped,
// and, since the line is handed on as a C string, ending at its first NUL. Reading at the
// end of the data gives an empty line and marks the end.
struct Lines {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool ended = false;

    std::string next() {
        std::string line;
        if (at >= size) {
            ended = true;
            return line;
        }
        std::size_t end = at;
        while (end < size && data[end] != '\n') {
            ++end;
        }
        line.assign(reinterpret_cast<const char*>(data + at), end - at);
        if (end == size) {
            ended = true;
            at = size;
        } else {
            at = end + 1;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return line.substr(0, line.find('\0'));
    }
};

bool wouldEndProcess(const std::uint8_t* data, std::size_t size) {
    Lines lines{data, size};
    lines.next(); // never looked at
    const std::vector<std::string> common = words(lines.next());
    if (common.size() < 6 || common[0] != "common") {
        return true;
    }
    while (!lines.ended) {
        const std::string line = lines.next();
        if (line.empty()) {
            continue; // blank: warned about
        }
        const std::vector<std::string> w = words(line);
        if (w.size() < 9) {
            return w.empty() || w[0] != "kerning"; // a kerning line ends the reading
        }
        if (w[0] != "char") {
            return true;
        }
    }
    return false;
}

std::string scratchFile() {
    return "/tmp/pyrokettle-fuzz-font-" + std::to_string(getpid()) + ".fnt";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (wouldEndProcess(data, size)) {
        return 0;
    }
    static const std::string path = scratchFile();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    // A font whose page is missing: no GL needed, and the reader can be called directly.
    static MoxBitmapFont* font = new MoxBitmapFont("/nonexistent/page.png", "/nonexistent.fnt");
    for (Glyph& g : font->glyphs) {
        g = Glyph{};
    }
    if (font->loadDefinition(path.c_str()) != 0) {
        __builtin_trap(); // the file is there: it must read
    }
    // Every filled slot holds the record of its own character code.
    for (int i = 0; i < MoxBitmapFont::GlyphCount; ++i) {
        const Glyph& g = font->glyphs[i];
        if (g.id != 0 && g.id != i) {
            __builtin_trap();
        }
    }
    return 0;
}
