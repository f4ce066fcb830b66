#pragma once
// Textured quads blended over the picture by their alpha: all the drawing the sprites and the
// font do. The desktop draws each quad as it comes. In a browser each draw call costs some
// twenty WebGL calls, so there the quads of one texture are gathered and drawn together, in
// the order they came; flushQuads draws what is gathered, and the frame's swap calls it.

#include <GL/gl.h>

// The texture stretched over a rectangle of half sizes (halfWidth, halfHeight) centred on
// (centreX, centreY), turned `angle` degrees counter-clockwise about that centre. At angle
// 0 the texture's (0, 0) is at the rectangle's top-left corner.
void drawTurnedQuad(GLuint texture, float centreX, float centreY, float halfWidth, float halfHeight,
                    float angle);

// The part (s0, t0)-(s1, t1) of the texture over the rectangle (left, top)-(right, bottom),
// its colours multiplied by `rgba`.
struct TexturePart {
    float s0, t0, s1, t1;
};
void drawTintedQuad(GLuint texture, int left, int top, int right, int bottom,
                    const TexturePart& part, const float (&rgba)[4]);

void flushQuads();
