#include "game/Cloud.h"

#include "engine/SpriteManager.h"

void Cloud::move(float dt) {
    x += dt * speed;
}

bool Cloud::hasLeftScreen() const {
    return x < -128;
}

void Cloud::render(SpriteManager& sprites) const {
    sprites.draw(kind + 1, static_cast<int>(x), static_cast<int>(y), 128, 128);
}
