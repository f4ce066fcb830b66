#pragma once
// Where a fixed drawing space, the world, lands in a window of any size, and back: pure
// arithmetic, shared by every platform's window code.

// A rectangle of the window in pixels, GL's way: x and y of the bottom-left corner.
struct Viewport {
    int x;
    int y;
    int width;
    int height;
};

// The world scaled to the largest size that fits the window with its shape kept, centred;
// the bars left over lie on two opposite sides. Sizes below 1 count as 1, so nothing ever
// divides by zero.
Viewport letterbox(int windowWidth, int windowHeight, int worldWidth, int worldHeight);

// A window position (origin top-left, y down) as a world position, clamped into the world:
// a position on a bar lands on the world's nearest edge.
void windowToWorld(const Viewport& view, int windowHeight, int worldWidth, int worldHeight, int& x,
                   int& y);

// The whole multiple of the world's height for a first window: the largest whose height is
// at most 80% of the desktop's, and at least 1 (also when the desktop's height is unknown, 0).
int windowScale(int desktopHeight, int worldHeight);
