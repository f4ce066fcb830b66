// The frame benchmark's scenes in a browser page: the game's own start-up, then the menu or
// the play scene of PlayScene.h with N objects, on the same scripted clock as
// pyrokettle_bench (16 ms a frame, the jump key never pressed, the music closed). Loaded by
// scripts/bench-web and tests/web as scene.html (see devtools.py) with the query
//   ?menu  or  ?play&objects=N       then, to time it, &frames=F&runs=R
// A timed page prints pyrokettle_bench's "fps" and "frame_ms" lines (frames drawn back to
// back, the GL work finished at both ends of a run); every page then prints "scene shown"
// and goes on showing the scene, one frame per browser frame.

#include "bench/BenchSupport.h"
#include "bench/PlayScene.h"

#include "engine/Clock.h"
#include "engine/JumpKey.h"
#include "engine/Music.h"
#include "engine/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <emscripten.h>
#include <string>

namespace {

std::uint32_t fakeTicks = 0;

// The number after "name=" in the page's query, or `otherwise`.
int queryNumber(const std::string& query, const char* name, int otherwise) {
    const std::size_t at = query.find(std::string(name) + "=");
    return at == std::string::npos ? otherwise : std::atoi(query.c_str() + at + std::strlen(name) + 1);
}

} // namespace

int main() {
    const std::string query = emscripten_run_script_string("location.search");
    const bool play = query.find("play") != std::string::npos;
    const int objects = queryNumber(query, "objects", 20);
    static Game game(nullptr);
    if (game.init(800, 600) != 1) {
        return 1;
    }
    closeAllTracks();
    bench::reportRenderer();
    setTickSource([] { return fakeTicks; });
    setJumpKeySource([] { return false; });
    const auto setUp = [&] {
        if (play) {
            bench::setUpPlay(game, objects, bench::onScreen);
        } else {
            game.screen = Menu;
        }
    };
    static Game::LoopState loop;
    const auto frame = [] {
        fakeTicks += 16;
        game.runFrame(loop);
    };
    if (const int runs = queryNumber(query, "runs", 0)) {
        bench::timeFrames(queryNumber(query, "frames", 300), runs, setUp, [&](bool) { frame(); });
    }
    setUp();
    std::printf("scene shown\n");
    runMainLoop([&] { return frame(), true; });
    return 0;
}
