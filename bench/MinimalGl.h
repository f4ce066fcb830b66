#pragma once
// The least a program needs to show the game's pictures: an 800 x 600 GL window with the
// game's 2D state, and the pictures uploaded the way the game uploads them (IMG_Load, a
// 32-bit RGBA copy with pure magenta keyed out, gluBuild2DMipmaps). The baselines of the
// benchmarks are built from these and nothing else of the game.

#include <GL/gl.h>
#include <vector>

namespace bench {

// Opens the window (retrying the few connections a busy Xvfb refuses) and sets the
// projection, texturing and blending the game uses. False when there is no display.
bool openWindow();

// One picture as a texture; 0 when the file does not decode.
GLuint loadPicture(const char* path);

// "<directory>/0.png", "<directory>/1.png", ... up to the first that does not load.
std::vector<GLuint> loadPictures(const char* directory);

} // namespace bench
