#pragma once
// The bitmap font: one page image uploaded as a GL texture (pure black transparent) plus
// per-character metrics read from a line-oriented text definition file.
//
// Definition file layout (values are taken by position; the names before '=' are ignored):
//   line 1      anything, never looked at
//   line 2      common lineHeight=.. base=.. scaleW=.. scaleH=.. pages=..
//   line 3..    char id=.. x=.. y=.. width=.. height=.. xoffset=.. yoffset=.. xadvance=.. [page=..]
//               empty lines are warned about and skipped; a "kerning" line (fewer than 9
//               words) ends the reading. Any other malformed line ends the process with exit
//               status 1 after a message on standard error.
// CR LF and LF line ends read alike; lines may be of any length.
//
// Construction never fails towards the caller: check `ready`. Every print operation on a
// font that is not ready writes "FAIL) This font isn't ready to print to. Didn't complete
// construction" to standard error and draws nothing. Progress goes to standard output,
// warnings and failures to standard error, one line each.
//
// Needs a current GL context with the 2D state of setupGL() (texturing and blending on,
// projection current, one unit per pixel, y down). Main thread only.

#include <GL/gl.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One character's metrics, in texels of the page (rectangle) and screen pixels (offsets,
// advance). A slot the definition does not fill is all zero: it draws nothing and takes no
// room.
struct Glyph {
    std::int32_t x;        // left edge of the rectangle in the page
    std::int32_t y;        // top edge, rows counted from the top of the page
    std::int32_t width;    // rectangle width; also the drawn width
    std::int32_t height;   // rectangle height; also the drawn height
    std::int32_t xadvance; // pen movement after the glyph
    std::int32_t id;       // character code, or one of the two markers below
    std::int32_t page;     // page number; stored, never used
    std::int32_t xoffset;  // pen to the glyph's left edge
    std::int32_t yoffset;  // pen (top of the line) to the glyph's top edge

    // Markers parseCharLine() returns in `id` instead of a character code.
    static constexpr std::int32_t BlankLineId = -66;  // the line was empty
    static constexpr std::int32_t KerningLineId = -2; // a kerning line: reading stops
};

// The value of one "name=value" word: line feeds, carriage returns and spaces are removed
// first; -1 when nothing is left. The value text after the first '=' is read like atoi
// (leading blanks, optional sign, digits up to the first non-digit; no digits gives 0;
// out-of-range values are clamped to the 32-bit range). A word without '=' reads 0. An
// empty name logs "WARN) Name too short: '' (must be at least 1 character)" and the value
// is still read.
int parseFieldValue(std::string word);

class MoxBitmapFont {
public:
    // Loads the page image, then the definition; logs "INFO) Initializing bitmap font load
    // (tga:<image> fnt:<definition>)" first and "PASS) Startup sequence completed in <ms> ms
    // using <image>, <definition>" when both loaded (then `ready` is true). A missing image
    // skips the definition; either failure logs its "FAIL) ... not found or unusable" line.
    MoxBitmapFont(const char* imagePath, const char* definitionPath);
    MoxBitmapFont(const MoxBitmapFont&) = delete;
    MoxBitmapFont& operator=(const MoxBitmapFont&) = delete;

    // Draws `text` with the pen starting at (x, y), the top-left of the first line, in window
    // pixels. A backslash starts a new line (pen back to x, down getLineHeight()); every
    // other byte, line feed included, draws its glyph slot (bytes 128 to 255 too). `alpha`
    // is the opacity, 1 opaque.
    virtual void print(std::string text, int x, int y, float alpha);
    virtual void print(std::string text, int x, int y);
    // Formats like snprintf, cut to 255 characters, and prints the result at (x, y).
    virtual void printFormatted(int x, int y, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    // Right-aligned: the text ends at x. The string is walked from its last byte, so with
    // backslashes the last segment is drawn on the line at y and earlier ones below it.
    virtual void printRight(std::string text, int x, int y);
    virtual void printRight(std::string text, int x, int y, float alpha);
    // Pixels a line break moves the pen down.
    virtual int getLineHeight();
    // Logs "INFO) Emptying bitmap font" and "PASS) Bitmap font emptied in <ms> ms" and frees
    // the page list. The GL textures stay until the process ends.
    virtual ~MoxBitmapFont();

    // Makes a mipmapped RGBA texture of the image with pure black transparent and appends it
    // to `pages` (made again from the file when SDL replaces the GL context). Returns 0, or -1
    // (after "FAIL) Image file <path> not found") when the image does not load or is too large for
    // a texture (see loadPicture).
    int loadBitmap(const char* path);
    // Reads the definition file into the common values and `glyphs`. Returns 0 when read,
    // -1 (after "[<path>] wasn't found") when it cannot be opened or is no regular file; a
    // malformed file ends the process with exit status 1.
    int loadDefinition(const char* path);
    // Sets lineHeight, base, scaleW and scaleH from a common line (announcing each on
    // standard output); a line with fewer than 6 words or not starting with "common" ends
    // the process. The line is not modified.
    void parseCommonLine(char* line);
    // The glyph of one char line, or a record whose id is Glyph::BlankLineId (empty line)
    // or Glyph::KerningLineId (a short "kerning" line); other fields are then 0, as is a
    // missing page. Any other line of fewer than 9 words, or not starting with "char", ends
    // the process. Words are cut at spaces only; words shorter than 2 characters are
    // dropped before values are taken by position. The line is not modified.
    Glyph parseCharLine(char* line);

    static constexpr int GlyphCount = 256;

    std::int32_t lineHeight = 0;
    std::int32_t base = 0;
    std::int32_t scaleW = 0; // not used: texture coordinates assume a 256 x 256 page
    std::int32_t scaleH = 0;
    bool ready = false;
    std::uint8_t colour[3] = {255, 255, 255}; // red, green, blue of every glyph
    // Owned cells holding GL texture names, in load order; only the first is drawn.
    std::vector<std::unique_ptr<GLuint>> pages;
    Glyph glyphs[GlyphCount] = {}; // indexed by character code

private:
    // One glyph as a textured quad from the first page; texel edges are scaled by 1/256.
    // Ends the process ("Page #0 is gone!") when there is no page.
    void drawGlyph(int texLeft, int texTop, int texRight, int texBottom, int screenX, int screenY,
                   int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                   float alpha);
    // The refusal line of a font that is not ready; true when printing may go on.
    bool checkReady();
};
