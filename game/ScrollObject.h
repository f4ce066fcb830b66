#pragma once
// The things that scroll towards the player with the world.

enum ScrollObjectKind : int {
    Points100 = 0,
    Points500 = 1,
    Points1000 = 2,
    Penalty = 3,
    Jumper = 4,
    SpentJumper = 5, // a Jumper that has hit the player; never spawned directly
    HealthBonus = 6,
};

struct ScrollObject {
    ScrollObject(float x, ScrollObjectKind kind) : x(x), kind(kind) {}

    float x;                      // left edge, pixels
    float height = 0;             // altitude above the ground line, pixels, up is positive
    float verticalVelocity = 0;   // pixels per second, up is positive
    ScrollObjectKind kind;        // drawn with sprite kind + 9
};
