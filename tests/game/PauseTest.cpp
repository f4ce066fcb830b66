#include "TestGame.h"

#include <SDL.h>

namespace {

// The two bytes after the type are `which` or the gain, then the state or the button.
SDL_Event event(Uint8 type, Uint8 second, Uint8 third, SDLKey sym = SDLK_UNKNOWN) {
    SDL_Event e{};
    e.active = {type, second, third};
    e.key.keysym.sym = sym;
    return e;
}

class Pause : public GameTest {
  protected:
    // A game in the air, 16 ms a frame: 20 frames, then (unless `pause` is empty) `pause`, 2
    // paused frames, the second 10 minutes long, and `resume`; 20 frames more. The state left.
    auto play(std::vector<SDL_Event> pause, std::vector<SDL_Event> resume) {
        game.resetGame();
        game.screen = Playing;
        game.playerHeight = -200;
        game.playerVelocity = -100;
        now = 0;
        frameTime();
        std::srand(1);
        Game::LoopState loop;
        const auto frames = [&](int n, std::vector<SDL_Event> events = {}) {
            std::for_each(events.begin(), events.end(), [](SDL_Event& e) { SDL_PushEvent(&e); });
            for (int i = 0; i < n; ++i, now += 16) {
                game.runFrame(loop);
            }
        };
        const auto state = [&] { // the clouds move in every update, the objects count spawns
            return std::vector<double>{game.playerHeight, game.playerVelocity, game.score,
                                       game.clouds.back()->x, double(game.objects.size())};
        };
        frames(20);
        if (!pause.empty()) {
            const std::vector<double> before = state();
            frames(1, pause);
            now += 600000;
            frames(1);
            EXPECT_EQ(state(), before) << "paused frames change nothing";
        }
        frames(20, resume);
        return std::pair(state(), std::rand());
    }
};

TEST_F(Pause, ALongPauseNeverReachesTheUpdate) {
    const SDL_Event p = event(SDL_KEYDOWN, 0, 0, SDLK_p);
    const SDL_Event space = event(SDL_KEYDOWN, 0, 0, SDLK_SPACE);
    const SDL_Event pointerLeft = event(SDL_ACTIVEEVENT, 0, SDL_APPMOUSEFOCUS);
    const SDL_Event focusLost = event(SDL_ACTIVEEVENT, 0, SDL_APPINPUTFOCUS);
    const SDL_Event focusBack = event(SDL_ACTIVEEVENT, 1, SDL_APPINPUTFOCUS);
    const std::vector<SDL_Event> clicks(200, event(SDL_MOUSEBUTTONDOWN, 0, SDL_BUTTON_LEFT));
    const std::vector<SDL_Event> joystick(200, event(SDL_JOYBUTTONDOWN, 0, 3));

    const auto neverPaused = play({}, {});
    EXPECT_EQ(play({p}, {space, pointerLeft, focusBack}), neverPaused);
    EXPECT_EQ(play({focusLost, focusBack}, joystick), neverPaused) << "a burst resumes once";
    EXPECT_EQ(play({event(SDL_ACTIVEEVENT, 0, SDL_APPACTIVE)}, clicks), neverPaused);
}

} // namespace
