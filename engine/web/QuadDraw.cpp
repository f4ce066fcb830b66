// The browser's quads: gathered while they share a texture, then drawn as triangles with one
// call, the vertices turned and placed here rather than by the matrix stack.
#include "engine/QuadDraw.h"

#include <cmath>
#include <vector>

namespace {

struct Vertex {
    float x, y, s, t;
    float rgba[4];
};

std::vector<Vertex> gathered;
GLuint gatheredTexture = 0;

void gather(GLuint texture, const Vertex (&corners)[4]) {
    if (texture != gatheredTexture) {
        flushQuads();
        gatheredTexture = texture;
    }
    for (const int corner : {0, 1, 2, 0, 2, 3}) {
        gathered.push_back(corners[corner]);
    }
}

} // namespace

void drawTurnedQuad(GLuint texture, float centreX, float centreY, float halfWidth, float halfHeight,
                    float angle) {
    // The desktop's half turn and turn, in double so that the usual turn of 0 leaves the
    // corners on whole pixels.
    constexpr double degrees = 3.14159265358979323846 / 180.0;
    const double turn = (180.0 - static_cast<double>(angle)) * degrees;
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    const auto corner = [&](float x, float y, float u, float v) {
        return Vertex{static_cast<float>(centreX + x * c - y * s),
                      static_cast<float>(centreY + x * s + y * c),
                      u,
                      v,
                      {1, 1, 1, 1}};
    };
    gather(texture, {corner(halfWidth, halfHeight, 0, 0), corner(-halfWidth, halfHeight, 1, 0),
                     corner(-halfWidth, -halfHeight, 1, 1), corner(halfWidth, -halfHeight, 0, 1)});
}

void drawTintedQuad(GLuint texture, int left, int top, int right, int bottom,
                    const TexturePart& part, const float (&rgba)[4]) {
    const auto corner = [&](int x, int y, float u, float v) {
        return Vertex{static_cast<float>(x),
                      static_cast<float>(y),
                      u,
                      v,
                      {rgba[0], rgba[1], rgba[2], rgba[3]}};
    };
    gather(texture,
           {corner(left, top, part.s0, part.t0), corner(right, top, part.s1, part.t0),
            corner(right, bottom, part.s1, part.t1), corner(left, bottom, part.s0, part.t1)});
}

void flushQuads() {
    if (gathered.empty()) {
        return;
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, gatheredTexture);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &gathered[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &gathered[0].s);
    glColorPointer(4, GL_FLOAT, sizeof(Vertex), gathered[0].rgba);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(gathered.size()));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    gathered.clear();
}
