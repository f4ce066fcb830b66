#include "engine/MoxBitmapFont.h"

#include "engine/Clock.h"
#include "engine/PictureLoad.h"
#include "engine/QuadDraw.h"
#include "engine/TextureRemake.h"
#include "engine/TextureUpload.h"

#include <GL/gl.h>
#include <SDL.h>
#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace {

// Texel positions to texture coordinates: the page is taken to be 256 x 256.
constexpr float TexelScale = 0.00390625f;

// The nearest float to 1/255 (bit pattern 0x3B808081), so that 255 maps to exactly 1.0.
float colourScale() {
    const std::uint32_t bits = 0x3B808081u;
    float k;
    std::memcpy(&k, &bits, sizeof k);
    return k;
}

[[noreturn]] void stopProcess() {
    std::fflush(nullptr);
    std::exit(1);
}

// Words of a line cut at the space character only; runs of spaces give no empty words.
std::vector<std::string> splitWords(const char* line) {
    std::vector<std::string> words;
    std::string word;
    for (const char* c = line; *c != '\0'; ++c) {
        if (*c == ' ') {
            if (!word.empty()) {
                words.push_back(word);
                word.clear();
            }
        } else {
            word += *c;
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    return words;
}

// atoi's reading without its undefined overflow: out-of-range values are clamped.
int readDecimal(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// One line without its terminator; the CR of a CR LF end goes too, so both kinds of file
// read alike. An attempt at the end of the stream yields an empty line.
void readLine(std::istream& in, std::string& line) {
    line.clear(); // getline leaves the string alone when the stream is already at its end
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
}

// A sum of pen positions and glyph values, taken in 64 bits and brought back into the int
// range: a definition may hold any 32-bit value, and two of them must not overflow.
int clampedSum(long long a, long long b) {
    return static_cast<int>(std::clamp<long long>(a + b, INT_MIN, INT_MAX));
}

const char* const RefusalMessage =
    "FAIL) This font isn't ready to print to. Didn't complete construction\n";

} // namespace

int parseFieldValue(std::string word) {
    std::string cleaned;
    for (char c : word) {
        if (c != '\n' && c != '\r' && c != ' ') {
            cleaned += c;
        }
    }
    if (cleaned.empty()) {
        return -1;
    }
    const std::string::size_type equals = cleaned.find('=');
    const std::string name = cleaned.substr(0, equals);
    if (name.empty()) {
        std::fprintf(stderr, "WARN) Name too short: '%s' (must be at least 1 character)\n",
                     name.c_str());
    }
    if (equals == std::string::npos) {
        return 0; // a name without a value
    }
    return readDecimal(cleaned.c_str() + equals + 1);
}

MoxBitmapFont::MoxBitmapFont(const char* imagePath, const char* definitionPath) {
    std::printf("INFO) Initializing bitmap font load (tga:%s fnt:%s)\n", imagePath, definitionPath);
    const std::uint32_t start = ticks();
    if (loadBitmap(imagePath) < 0) {
        std::fprintf(stderr, "FAIL) Bitmap font bitmap file %s not found or unusable\n", imagePath);
        return;
    }
    if (loadDefinition(definitionPath) < 0) {
        std::fprintf(stderr, "FAIL) Bitmap font definition file %s not found or unusable\n",
                     definitionPath);
        return;
    }
    const std::uint32_t elapsed = ticks() - start;
    std::printf("PASS) Startup sequence completed in %i ms using %s, %s\n",
                static_cast<int>(elapsed), imagePath, definitionPath);
    ready = true;
}

MoxBitmapFont::~MoxBitmapFont() {
    std::printf("INFO) Emptying bitmap font\n");
    const std::uint32_t start = ticks();
    for (const auto& page : pages) {
        forgetPicture(*page);
    }
    pages.clear();
    pages.shrink_to_fit();
    const std::uint32_t elapsed = ticks() - start;
    std::printf("PASS) Bitmap font emptied in %i ms\n", static_cast<int>(elapsed));
}

int MoxBitmapFont::loadBitmap(const char* path) {
    SDL_Surface* image = loadPicture(path);
    if (image == nullptr) {
        std::fprintf(stderr, "FAIL) Image file %s not found\n", path);
        return -1;
    }
    auto texture = std::make_unique<GLuint>(0);
    glGenTextures(1, texture.get());
    if (!uploadKeyed(*texture, image, 0, 0, 0)) {
        std::fprintf(stderr, "FAIL) New surface couldn't be created for %s\n", path);
        glDeleteTextures(1, texture.get());
        SDL_FreeSurface(image);
        return -1;
    }
    rememberPicture(*texture, path, 0, 0, 0);
    SDL_FreeSurface(image);
    pages.push_back(std::move(texture));
    return 0;
}

int MoxBitmapFont::loadDefinition(const char* path) {
    // A directory or a pipe at the path opens as a stream too, but is no definition.
    struct stat info {};
    const bool regular = stat(path, &info) == 0 && S_ISREG(info.st_mode);
    std::ifstream file;
    if (regular) {
        file.open(path, std::ios::binary);
    }
    if (!regular || !file) {
        std::fprintf(stderr, "[%s] wasn't found\n", path);
        return -1;
    }
    std::string line;
    readLine(file, line); // the info line is never looked at
    readLine(file, line);
    parseCommonLine(line.data());
    // The end test follows each line, so a final line feed gives one more, empty read.
    while (!file.eof() && !file.bad()) {
        readLine(file, line);
        const Glyph glyph = parseCharLine(line.data());
        if (glyph.id > 0 && glyph.id < GlyphCount) {
            glyphs[glyph.id] = glyph;
        }
        if (glyph.id == Glyph::KerningLineId) {
            break;
        }
    }
    return 0;
}

void MoxBitmapFont::parseCommonLine(char* line) {
    const std::vector<std::string> words = splitWords(line);
    if (words.size() < 6) {
        std::fprintf(stderr,
                     "FAIL) Line \"%s\" does not contain enough tokens to be a commons "
                     "definition\n",
                     line);
        stopProcess();
    }
    if (words[0] != "common") {
        std::fprintf(stderr,
                     "FAIL) Line \"%s\" does not contain magic word 'common' at start. Not "
                     "commons definition.\n",
                     line);
        stopProcess();
    }
    std::printf("setting lineHeight\n");
    lineHeight = parseFieldValue(words[1]);
    std::printf("setting base\n");
    base = parseFieldValue(words[2]);
    std::printf("setting scaleW\n");
    scaleW = parseFieldValue(words[3]);
    std::printf("setting scaleH\n");
    scaleH = parseFieldValue(words[4]);
    std::printf("ignoring pages for now\n");
    for (std::size_t extra = 6; extra < words.size(); ++extra) {
        std::fprintf(stderr, "FAIL) Too many tokens in this line.\n");
    }
}

Glyph MoxBitmapFont::parseCharLine(char* line) {
    Glyph glyph{};
    if (line[0] == '\0') {
        std::fprintf(stderr, "WARN) Detected blank line.\n");
        glyph.id = Glyph::BlankLineId;
        return glyph;
    }
    std::vector<std::string> words = splitWords(line);
    if (words.size() < 9) {
        std::fprintf(stderr,
                     "FAIL) Line \"%s\" does not contain enough tokens to be a character ID\n",
                     line);
        if (!words.empty() && words[0] == "kerning") {
            glyph.id = Glyph::KerningLineId;
            return glyph;
        }
        stopProcess();
    }
    if (words[0] != "char") {
        std::fprintf(stderr,
                     "FAIL %s:%i) Line \"%s\" does not contain magic word 'char' at start. Not "
                     "character id.\n",
                     ".\\engine\\MoxBitmapFont", 212, line);
        stopProcess();
    }
    // A stray one-character word (a lone '=') would otherwise shift every later value.
    std::vector<std::string> kept;
    for (const std::string& word : words) {
        if (word.size() >= 2) {
            kept.push_back(word);
        }
    }
    std::int32_t* const byPosition[] = {&glyph.id,      &glyph.x,        &glyph.y,
                                        &glyph.width,   &glyph.height,   &glyph.xoffset,
                                        &glyph.yoffset, &glyph.xadvance, &glyph.page};
    constexpr std::size_t valueCount = sizeof byPosition / sizeof byPosition[0];
    for (std::size_t position = 1; position < kept.size(); ++position) {
        if (position <= valueCount) {
            *byPosition[position - 1] = parseFieldValue(kept[position]);
        } else {
            std::fprintf(stderr, "FAIL) Too many tokens in this line.\n");
        }
    }
    return glyph;
}

bool MoxBitmapFont::checkReady() {
    if (!ready) {
        std::fputs(RefusalMessage, stderr);
    }
    return ready;
}

void MoxBitmapFont::print(std::string text, int x, int y, float alpha) {
    if (!checkReady()) {
        return;
    }
    int penX = x;
    int penY = y;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            penX = x;
            penY = clampedSum(penY, getLineHeight());
            continue;
        }
        const Glyph& g = glyphs[static_cast<unsigned char>(text[i])];
        drawGlyph(g.x, g.y, clampedSum(g.x, g.width), clampedSum(g.y, g.height),
                  clampedSum(penX, g.xoffset), clampedSum(penY, g.yoffset), g.width, g.height,
                  colour[0], colour[1], colour[2], alpha);
        penX = clampedSum(penX, g.xadvance);
    }
}

void MoxBitmapFont::print(std::string text, int x, int y) {
    print(text, x, y, 1.0f);
}

void MoxBitmapFont::printFormatted(int x, int y, const char* format, ...) {
    if (!checkReady()) {
        return;
    }
    char buffer[256];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (length < 0) {
        buffer[0] = '\0';
    }
    print(std::string(buffer), x, y);
}

void MoxBitmapFont::printRight(std::string text, int x, int y) {
    printRight(text, x, y, 1.0f);
}

void MoxBitmapFont::printRight(std::string text, int x, int y, float alpha) {
    if (!checkReady()) {
        return;
    }
    int penX = x;
    int penY = y;
    for (std::size_t i = text.size(); i-- > 0;) {
        if (text[i] == '\\') {
            penX = x;
            penY = clampedSum(penY, getLineHeight());
            continue;
        }
        const Glyph& g = glyphs[static_cast<unsigned char>(text[i])];
        const long long right = static_cast<long long>(penX) + g.xoffset;
        drawGlyph(g.x, g.y, clampedSum(g.x, g.width), clampedSum(g.y, g.height),
                  clampedSum(right, -static_cast<long long>(g.width)), clampedSum(penY, g.yoffset),
                  g.width, g.height, colour[0], colour[1], colour[2], alpha);
        penX = clampedSum(penX, -static_cast<long long>(g.xadvance));
    }
}

int MoxBitmapFont::getLineHeight() {
    return lineHeight;
}

void MoxBitmapFont::drawGlyph(int texLeft, int texTop, int texRight, int texBottom, int screenX,
                              int screenY, int width, int height, std::uint8_t red,
                              std::uint8_t green, std::uint8_t blue, float alpha) {
    const float s0 = static_cast<float>(texLeft) * TexelScale;
    const float t0 = static_cast<float>(texTop) * TexelScale;
    const float s1 = static_cast<float>(texRight) * TexelScale;
    const float t1 = static_cast<float>(texBottom) * TexelScale;

    if (pages.empty()) {
        std::fprintf(stderr, "Page #0 is gone!\n");
        stopProcess();
    }
    const float k = colourScale();
    drawTintedQuad(*pages.front(), screenX, screenY, clampedSum(screenX, width),
                   clampedSum(screenY, height), TexturePart{s0, t0, s1, t1},
                   {red * k, green * k, blue * k, alpha});
}
