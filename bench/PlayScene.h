#pragma once
// A game put into one of the play scenes of Scene.h, for the benchmark on the desktop and in
// a browser page.

#include "bench/Scene.h"
#include "game/Game.h"

#include <memory>
#include <vector>

namespace bench {

// A new game whose scene is one of bench/Scene.h's, with `objects` built by `place`.
template <typename Place> void setUpPlay(Game& game, int count, Place place) {
    game.resetGame();
    game.screen = Playing;
    for (const Placed& cloud : sceneClouds()) {
        // Speed 0: the clouds stay where the baseline draws them.
        game.clouds.push_back(std::make_unique<Cloud>(static_cast<float>(cloud.x),
                                                      static_cast<float>(cloud.y), 0.0f,
                                                      cloud.kind));
    }
    for (int i = 0; i < count; ++i) {
        game.objects.push_back(place(i, count));
    }
}

// Object i of sceneObjects(count): on the ground inside the view.
inline std::unique_ptr<ScrollObject> onScreen(int i, int count) {
    static std::vector<Placed> layout;
    if (static_cast<int>(layout.size()) != count) {
        layout = sceneObjects(count);
    }
    const Placed& p = layout[static_cast<std::size_t>(i)];
    return std::make_unique<ScrollObject>(static_cast<float>(p.x),
                                          static_cast<ScrollObjectKind>(p.kind));
}

} // namespace bench
