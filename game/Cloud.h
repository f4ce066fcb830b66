#pragma once
// A background cloud: scenery that drifts left at its own speed and touches nothing.

class SpriteManager;

struct Cloud {
    Cloud(float x, float y, float speed, int kind) : x(x), y(y), speed(speed), kind(kind) {}

    // Adds dt x speed to x (dt in seconds).
    void move(float dt);
    // True once the cloud is wholly past the left edge (x below -128).
    bool hasLeftScreen() const;
    // Draws sprite kind + 1 at the truncated position, 128 x 128.
    void render(SpriteManager& sprites) const;

    float x;     // left edge, pixels
    float y;     // top edge, pixels (0 to 49)
    float speed; // pixels per second, 0 or negative
    int kind;    // 0 to 3
};
