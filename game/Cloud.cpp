#include "game/Cloud.h"

#include "engine/SpriteManager.h"
#include "game/Truncate.h"

void Cloud::move(float dt) {
    x += dt * speed;
}

bool Cloud::hasLeftScreen() const {
    return x < -128;
}

void Cloud::render(SpriteManager& sprites) const {
    sprites.draw(kind + 1, truncateToInt(x), truncateToInt(y), 128, 128);
}
