#pragma once
// Numbered pictures as GL textures, drawn by number as (optionally rotated) quads.
//
// Construction loads "<dir>/0.png", "<dir>/1.png", ... until the first number that does not
// load; that number is reported missing on standard error ("Sorry, sprite %s is missing"),
// then "Loaded %i sprites" goes to standard output. A file name longer than 199 characters
// counts as missing (reported cut to 199). Pure magenta (255, 0, 255) is transparent: those
// pixels become fully transparent black, all others keep their colour and alpha (opaque
// when the picture has no alpha channel). Needs a current GL context with the 2D state of
// setupGL(). When there is no memory for a picture's work surface the process ends with
// status 1 after a "FAIL ...) ... out of RAM" line on standard error.
//
// Ids are 0 to count - 1. Textures stay alive in GL until the process ends, and are made
// again from their files when SDL replaces the GL context (remakeLostTextures).

#include <GL/gl.h>
#include <memory>
#include <string>
#include <vector>

class SpriteManager {
public:
    explicit SpriteManager(const char* directory);
    ~SpriteManager();
    SpriteManager(const SpriteManager&) = delete;
    SpriteManager& operator=(const SpriteManager&) = delete;

    // The visible area used for culling and for the centring sentinel; 100000 x 100000
    // until this is called.
    void setScreenSize(int width, int height);

    // Makes one texture from `file` with (red, green, blue) transparent and appends it.
    // Returns the new id, or -1 (after "Sorry, sprite %s is missing") when the file does
    // not decode or is too large for a texture (see loadPicture).
    int loadTexture(const char* file, int red, int green, int blue);

    // The id's texture cell, or nullptr (after "Requested sprite %i is out of bounds").
    GLuint* getTexture(int id);

    // Draws sprite `id` with its top-left corner at (x, y) in window pixels, stretched to
    // width x height, turned `angle` degrees counter-clockwise about its centre. x = y =
    // CentreSentinel puts the corner at the middle of the view. Rectangles wholly outside
    // the view are skipped silently. Unknown ids log two lines and draw nothing.
    void drawRotated(int id, int x, int y, int width, int height, float angle);
    void draw(int id, int x, int y, int width, int height);

    // Forgets every texture cell (the GL textures themselves stay).
    void clear();

    int count() const { return static_cast<int>(textures.size()); }

    static constexpr int CentreSentinel = -1337;

    int viewWidth;
    int viewHeight;
    std::vector<std::unique_ptr<GLuint>> textures;
};
