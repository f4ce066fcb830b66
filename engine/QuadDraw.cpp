#include "engine/QuadDraw.h"

void drawTurnedQuad(GLuint texture, float centreX, float centreY, float halfWidth, float halfHeight,
                    float angle) {
    glPushMatrix();
    glTranslatef(centreX, centreY, 0.0f);
    // The quad below is laid out upside down; the half turn puts texture (0, 0) at the
    // top-left corner.
    glRotatef(180.0f - angle, 0.0f, 0.0f, 1.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(halfWidth, halfHeight);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(-halfWidth, halfHeight);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(-halfWidth, -halfHeight);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(halfWidth, -halfHeight);
    glEnd();
    glPopMatrix();
}

void drawTintedQuad(GLuint texture, int left, int top, int right, int bottom,
                    const TexturePart& part, const float (&rgba)[4]) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
    glBegin(GL_QUADS);
    glTexCoord2f(part.s0, part.t0);
    glVertex2i(left, top);
    glTexCoord2f(part.s1, part.t0);
    glVertex2i(right, top);
    glTexCoord2f(part.s1, part.t1);
    glVertex2i(right, bottom);
    glTexCoord2f(part.s0, part.t1);
    glVertex2i(left, bottom);
    glEnd();
    glColor3f(1, 1, 1);
}

void flushQuads() {}
