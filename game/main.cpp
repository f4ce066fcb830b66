// The entry point: one Game, started, run and shut down.

#include "game/Game.h"
#include "game/Installation.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const Usage =
    "Usage: pyrokettle [--help] [--version]\n"
    "A one-button arcade game: hold Space to fly, Up/Down and Enter in the menu, Escape\n"
    "quits. Started where ./media is, it plays from there; otherwise from its installed\n"
    "data, keeping high scores in ${XDG_DATA_HOME:-$HOME/.local/share}/pyrokettle/poon.txt.\n"
    "See pyrokettle(6).\n";

// Prints the answer to --help or --version; false when stdout would not take it.
bool answer(const char* text) {
    return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0;
}

} // namespace

int main(int argc, char** argv) {
    // Any other argument is ignored.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            return answer(Usage) ? 0 : 1;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            return answer("pyrokettle " PYROKETTLE_VERSION "\n") ? 0 : 1;
        }
    }
    Game game(nullptr);
    game.highScores = HighScoreTable(locateGameFiles(PYROKETTLE_DATA_FROM_BIN));
    game.init(800, 600);
    game.run();
    game.shutdown();
    return 0;
}
