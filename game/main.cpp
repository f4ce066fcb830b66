// The entry point: one Game, started, run and shut down.

#include "game/Game.h"

int main() {
    Game game(nullptr);
    game.init(800, 600);
    game.run();
    game.shutdown();
    return 0;
}
