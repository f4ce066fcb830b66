// Measures the game itself, built from the game's own libraries: start-up to the first
// presented menu frame, frames per second of whole main-loop frames, and the play update's
// cost per scrolling object. Run from a directory holding the game's ./media, under X.
//
//   pyrokettle_bench spawn PROGRAM [ARGS...]   start PROGRAM with BENCH_T0_NS set to now
//   pyrokettle_bench startup                   Game::init, one Game::runFrame (the menu)
//   pyrokettle_bench frames menu|play N FRAMES RUNS [--music]
//   pyrokettle_bench update standing|flying N FRAMES RUNS
//   pyrokettle_bench split N FRAMES            a play frame's steps timed one by one
//
// BENCH_FRAME_DUMP=<file> makes `frames` write the last frame's pixels there.

#include "bench/BenchSupport.h"
#include "bench/PlayScene.h"

#include "engine/Clock.h"
#include "engine/JumpKey.h"
#include "engine/MoxBitmapFont.h"
#include "engine/Music.h"
#include "engine/Platform.h"
#include "engine/SpriteManager.h"
#include "game/Game.h"

#include <GL/gl.h>
#include <SDL.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using bench::onScreen;
using bench::setUpPlay;

// The game's clock during frame and update runs: 1/60 s per frame whatever the real
// frame took, so every run plays the same game.
std::uint32_t fakeTicks = 0;
std::uint32_t scriptedClock() {
    return fakeTicks;
}
bool jumpHeld = false;
bool scriptedJumpKey() {
    return jumpHeld;
}

int usage() {
    std::fprintf(stderr, "usage: pyrokettle_bench spawn PROGRAM [ARGS...]\n"
                         "       pyrokettle_bench startup\n"
                         "       pyrokettle_bench frames menu|play N FRAMES RUNS [--music]\n"
                         "       pyrokettle_bench update standing|flying N FRAMES RUNS\n");
    return 2;
}

int spawn(char** argv) {
    char t0[32];
    std::snprintf(t0, sizeof t0, "%lld", static_cast<long long>(bench::nowNs()));
    const pid_t child = fork();
    if (child == 0) {
        setenv("BENCH_T0_NS", t0, 1);
        execv(argv[0], argv);
        std::perror(argv[0]);
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) < 0) {
        return 127;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The entry point's start-up, then the first pass of its main loop, which presents the
// menu. glFinish makes sure the frame has really been handed to the X server.
int startup() {
    const std::int64_t t0 = bench::launchTimeNs();
    Game game(nullptr);
    if (game.init(800, 600) != 1) {
        return 1;
    }
    Game::LoopState loop;
    game.runFrame(loop);
    glFinish();
    const std::int64_t presented = bench::nowNs();
    if (t0 >= 0) {
        std::printf("startup_ms %.3f\n", static_cast<double>(presented - t0) / 1e6);
    }
    std::printf("startup_rss_kib %ld\n", bench::peakRssKib());
    game.shutdown();
    return 0;
}

// Far to the right: a flying player's world scrolls about 280 px/s, so these stay beyond
// the view, the player's reach and the left edge for the whole of a run.
std::unique_ptr<ScrollObject> farRight(int i, int) {
    return std::make_unique<ScrollObject>(2000.0f + static_cast<float>((i * 37) % 1000),
                                          static_cast<ScrollObjectKind>(i % bench::ObjectKinds));
}

bool initGame(Game& game, bool music) {
    // A busy Xvfb now and then refuses a connection; start-up is not what is timed here.
    int attempt = 0;
    while (game.init(800, 600) != 1) {
        if (++attempt == 10) {
            return false;
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Delay(50);
    }
    if (!music) {
        // The synthesizer renders on the audio thread; on a 2-core machine it would compete
        // with the rasteriser's threads, which the baseline does not have to share.
        closeAllTracks();
    }
    bench::reportRenderer();
    setTickSource(scriptedClock);
    setJumpKeySource(scriptedJumpKey);
    return true;
}

int frames(const std::string& scene, int count, int framesPerRun, int runs, bool music) {
    Game game(nullptr);
    if (!initGame(game, music)) {
        return 1;
    }
    const auto setUp = [&] {
        if (scene == "play") {
            setUpPlay(game, count, onScreen);
        } else {
            game.screen = Menu;
        }
    };
    Game::LoopState loop;
    bench::timeFrames(framesPerRun, runs, setUp, [&](bool) {
        fakeTicks += 16;
        game.runFrame(loop);
    });
    std::printf("objects_after %zu\n", game.objects.size());
    bench::dumpFrame(std::getenv("BENCH_FRAME_DUMP"), GL_BACK);
    game.shutdown();
    return 0;
}

// Where a play frame's time goes: the main loop's steps one by one, in its order (the
// events are polled first, as in runFrame). Medians over the frames, in microseconds.
int split(int count, int framesPerRun) {
    Game game(nullptr);
    if (!initGame(game, false)) {
        return 1;
    }
    setUpPlay(game, count, onScreen);
    std::vector<double> events, update, text, swap, pause;
    char line[64];
    for (int frame = -10; frame < framesPerRun; ++frame) { // 10 frames warm up
        fakeTicks += 16;
        std::int64_t t = bench::nowNs();
        const auto lap = [&](std::vector<double>& into) {
            const std::int64_t now = bench::nowNs();
            if (frame >= 0) {
                into.push_back(static_cast<double>(now - t) / 1000.0);
            }
            t = now;
        };
        clearScreen();
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        lap(events);
        game.updatePlaying(0.016f);
        lap(update);
        std::snprintf(line, sizeof line, " Prawnage: %i", static_cast<int>(game.score));
        game.font->print(line, 0, 0);
        std::snprintf(line, sizeof line, " Health: %i", game.health);
        game.font->print(line, 0, 45);
        lap(text);
        swapBuffers();
        lap(swap);
        delay(0);
        lap(pause);
    }
    bench::report("clear_and_events_us", events);
    bench::report("update_and_sprite_calls_us", update);
    bench::report("text_calls_us", text);
    bench::report("swap_us", swap);
    bench::report("delay0_us", pause);
    game.shutdown();
    return 0;
}

int update(const std::string& mode, int count, int framesPerRun, int runs) {
    Game game(nullptr);
    if (!initGame(game, false)) {
        return 1;
    }
    // Every sprite fails the culling test: the update runs in full, nothing is drawn.
    game.sprites->setScreenSize(INT_MIN, INT_MIN);
    const bool flying = mode == "flying";
    jumpHeld = flying;
    const auto timeRun = [&](int n) {
        setUpPlay(game, n, flying ? farRight : onScreen);
        if (flying) {
            // At the ceiling with the key held: the boost outweighs the pull, so the
            // player stays up and the world scrolls at full speed.
            game.playerHeight = 128.0f - game.screenHeight;
            game.playerVelocity = -50.0f;
        }
        const std::int64_t start = bench::nowNs();
        for (int frame = 0; frame < framesPerRun; ++frame) {
            game.updatePlaying(1.0f / 60.0f);
        }
        return static_cast<double>(bench::nowNs() - start);
    };
    std::vector<double> perObject;
    std::vector<double> empty;
    for (int run = -1; run < runs; ++run) { // run -1 warms up
        const double withNone = timeRun(0);
        const double withAll = timeRun(count);
        if (run >= 0) {
            empty.push_back(withNone / framesPerRun);
            perObject.push_back((withAll - withNone) / framesPerRun / count);
        }
    }
    std::printf("objects_after %zu\n", game.objects.size());
    bench::report("update_ns_per_object", perObject);
    bench::report("update_ns_empty_scene", empty);
    game.shutdown();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "spawn") == 0) {
        return spawn(argv + 2);
    }
    if (argc == 2 && std::strcmp(argv[1], "startup") == 0) {
        return startup();
    }
    if ((argc == 6 || argc == 7) && std::strcmp(argv[1], "frames") == 0) {
        const bool music = argc == 7 && std::strcmp(argv[6], "--music") == 0;
        return frames(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), music);
    }
    if (argc == 4 && std::strcmp(argv[1], "split") == 0) {
        return split(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (argc == 6 && std::strcmp(argv[1], "update") == 0 && std::atoi(argv[3]) > 0) {
        return update(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    }
    return usage();
}
