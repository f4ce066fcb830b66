// The frame benchmark's scenes in a browser page: the game's own start-up, then the menu or
// the play scene of PlayScene.h with N objects, on the same scripted clock as
// pyrokettle_bench (16 ms a frame, the jump key never pressed, the music closed), one frame
// per browser frame. Loaded by scripts/bench-web and tests/web as scene.html (devtools.py)
// with the query ?menu or ?play&objects=N; prints the GL renderer, then "scene shown". With
// &frames=F it first times three runs of F frames drawn back to back and prints
// pyrokettle_bench's "fps" line.

#include "bench/BenchSupport.h"
#include "bench/PlayScene.h"

#include "engine/Clock.h"
#include "engine/JumpKey.h"
#include "engine/Music.h"
#include "engine/Platform.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <emscripten.h>
#include <string>
#include <vector>

namespace {

std::uint32_t fakeTicks = 0;

// The number after "name=" in the page's query, or `otherwise`.
int queryNumber(const std::string& query, const char* name, int otherwise) {
    const std::size_t at = query.find(std::string(name) + "=");
    return at == std::string::npos ? otherwise
                                   : std::atoi(query.c_str() + at + std::strlen(name) + 1);
}

} // namespace

int main() {
    const std::string query = emscripten_run_script_string("location.search");
    static Game game(nullptr);
    if (game.init(800, 600) != 1) {
        return 1;
    }
    closeAllTracks();
    bench::reportRenderer();
    setTickSource([] { return fakeTicks; });
    setJumpKeySource([] { return false; });
    if (query.find("play") != std::string::npos) {
        bench::setUpPlay(game, queryNumber(query, "objects", 20), bench::onScreen);
    }
    static Game::LoopState loop;
    if (const int frames = queryNumber(query, "frames", 0)) {
        // Back to back, each frame read back (one pixel), so that the browser's GL really
        // draws every frame, as a swap makes the desktop's draw it.
        std::vector<double> fps;
        for (int run = 0; run < 3; ++run) {
            const std::int64_t start = bench::nowNs();
            for (int i = 0; i < frames; ++i) {
                fakeTicks += 16;
                game.runFrame(loop);
                unsigned char pixel[4];
                glReadPixels(400, 300, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
            }
            fps.push_back(frames / (static_cast<double>(bench::nowNs() - start) / 1e9));
        }
        bench::report("fps", fps);
    }
    std::printf("scene shown\n");
    runMainLoop([] {
        fakeTicks += 16;
        game.runFrame(loop);
        return true;
    });
    return 0;
}
