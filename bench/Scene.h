#pragma once
// The scenes the frame benchmarks draw, described once so that the game's frame and the
// fewest-calls frame show the same pictures at the same places.
//
// Play scenes stand still: the player waits on the ground, so nothing scrolls, and every
// scrolling object sits on the ground line inside the view, away from the player's reach.
// Objects are laid out in blocks of one kind and clouds in kind order, so that drawing them
// in list order (the game) and drawing them grouped by picture (the baseline) paint the
// same pixels.

#include <string>
#include <vector>

namespace bench {

struct Placed {
    int x;    // left edge, pixels
    int y;    // top edge, pixels
    int kind; // cloud kind 0 to 3, or scrolling-object kind 0 to 6
};

constexpr int ObjectKinds = 7;
constexpr int CloudCount = 8;

// n scrolling objects, x from 220 to 779 (outside the player's leap and contact windows).
inline std::vector<Placed> sceneObjects(int n) {
    std::vector<Placed> objects;
    objects.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int kind = static_cast<int>(static_cast<long long>(i) * ObjectKinds / n);
        objects.push_back({220 + (i * 37) % 560, 472, kind});
    }
    return objects;
}

// Eight clouds across the top, two of each kind, in kind order.
inline std::vector<Placed> sceneClouds() {
    std::vector<Placed> clouds;
    for (int i = 0; i < CloudCount; ++i) {
        clouds.push_back({10 + i * 95, (i * 13) % 50, i / 2});
    }
    return clouds;
}

// The text the main loop prints while playing, for a score of 0 and health of 100.
inline std::vector<std::string> sceneText() {
    return {" Prawnage: 0", " Health: 100"};
}

} // namespace bench
