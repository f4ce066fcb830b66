#include "engine/Letterbox.h"

#include <algorithm>

Viewport letterbox(int windowWidth, int windowHeight, int worldWidth, int worldHeight) {
    const long long ww = std::max(windowWidth, 1), wh = std::max(windowHeight, 1);
    const long long vw = std::max(worldWidth, 1), vh = std::max(worldHeight, 1);
    Viewport view{0, 0, static_cast<int>(ww), static_cast<int>(wh)};
    // Compared as cross products: exact, where a float scale would round a 1000x600 window's
    // 800x600 scene to 799 pixels.
    if (ww * vh > wh * vw) {
        view.width = static_cast<int>((wh * vw + vh / 2) / vh);
    } else {
        view.height = static_cast<int>((ww * vh + vw / 2) / vw);
    }
    view.x = (static_cast<int>(ww) - view.width) / 2;
    view.y = (static_cast<int>(wh) - view.height) / 2;
    return view;
}

void windowToWorld(const Viewport& view, int windowHeight, int worldWidth, int worldHeight, int& x,
                   int& y) {
    const long long top = windowHeight - view.y - view.height;
    const long long wx =
        (x - view.x) * static_cast<long long>(worldWidth) / std::max(view.width, 1);
    const long long wy = (y - top) * static_cast<long long>(worldHeight) / std::max(view.height, 1);
    x = static_cast<int>(std::clamp<long long>(wx, 0, std::max(worldWidth - 1, 0)));
    y = static_cast<int>(std::clamp<long long>(wy, 0, std::max(worldHeight - 1, 0)));
}

int windowScale(int desktopHeight, int worldHeight) {
    return std::max(1, static_cast<int>(desktopHeight * 4LL / 5 / std::max(worldHeight, 1)));
}
