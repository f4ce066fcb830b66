// libFuzzer target: the font definition reader on arbitrary file contents.
//
// The reader ends the process on most malformed lines, by design; libFuzzer would call each
// such input a crash. So inputs the reader refuses by exiting are skipped first, by applying
// its own line rules (lines cut at line feeds, one CR before the feed dropped, ending at a
// NUL; words cut at spaces). The fuzzing keeps that check honest: an input it passes that
// still makes the reader exit shows up as "fuzz target exited".
#include "engine/MoxBitmapFont.h"

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string word; std::getline(in, word, ' ');) {
        if (!word.empty()) {
            out.push_back(word);
        }
    }
    return out;
}

bool wouldEndProcess(const std::string& text) {
    std::size_t at = 0;
    bool ended = false;
    auto next = [&] { // an empty line, and the end, when the data is used up
        std::string line;
        const std::size_t end = text.find('\n', at);
        ended = ended || end == std::string::npos;
        if (at < text.size()) {
            line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        }
        at = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return line.substr(0, line.find('\0'));
    };
    next(); // never looked at
    const std::vector<std::string> common = words(next());
    if (common.size() < 6 || common[0] != "common") {
        return true;
    }
    while (!ended) {
        const std::string line = next();
        const std::vector<std::string> w = words(line);
        if (line.empty()) {
            continue; // blank: warned about
        }
        if (w.size() < 9) {
            return w.empty() || w[0] != "kerning"; // a kerning line ends the reading
        }
        if (w[0] != "char") {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (wouldEndProcess(text)) {
        return 0;
    }
    static const std::string path =
        "/tmp/pyrokettle-fuzz-font-" + std::to_string(getpid()) + ".fnt";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    // A font whose page is missing: no GL needed, and the reader can be called directly.
    static MoxBitmapFont* font = new MoxBitmapFont("/nonexistent/page.png", "/nonexistent.fnt");
    for (Glyph& g : font->glyphs) {
        g = Glyph{};
    }
    if (font->loadDefinition(path.c_str()) != 0) {
        __builtin_trap(); // the file is there: it must read
    }
    for (int i = 0; i < MoxBitmapFont::GlyphCount; ++i) { // a filled slot holds its own code
        if (font->glyphs[i].id != 0 && font->glyphs[i].id != i) {
            __builtin_trap();
        }
    }
    return 0;
}
