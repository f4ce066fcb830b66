#include "engine/Platform.h"

#include "engine/JumpKey.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>

namespace {

volatile std::sig_atomic_t hungUp = 0;

void noteHangUp(int) {
    hungUp = 1;
}

} // namespace

int initVideo(int width, int height) {
    // Without a display SDL would fall back on its text-terminal drivers, which write escape
    // codes to the terminal; the X11 driver just fails.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    if (SDL_Init(SDL_INIT_EVERYTHING) < 0) {
        return -1;
    }
    std::atexit(SDL_Quit);
    // Only a flag: the loop picks it up as a quit, so a save under way finishes first.
    struct sigaction hangUp {};
    hangUp.sa_handler = noteHangUp;
    hangUp.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &hangUp, nullptr);
    openJoysticks();
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
    if (SDL_SetVideoMode(width, height, 0, SDL_HWSURFACE | SDL_OPENGL | SDL_ASYNCBLIT | SDL_ANYFORMAT) ==
        nullptr) {
        return -1;
    }
    SDL_WM_SetCaption("Pyrokettle", nullptr);
    return 0;
}

bool pollEvent(SDL_Event& event) {
    if (hungUp != 0) {
        hungUp = 0;
        event = SDL_Event{};
        event.type = SDL_QUIT;
        return true;
    }
    return SDL_PollEvent(&event) != 0;
}

bool windowIsWatched() {
    const Uint8 wanted = SDL_APPACTIVE | SDL_APPINPUTFOCUS;
    return (SDL_GetAppState() & wanted) == wanted;
}

void waitForEvent(std::uint32_t ms) {
    constexpr std::uint32_t Slice = 10; // ms between looks at the queue
    const std::uint32_t start = SDL_GetTicks();
    for (std::uint32_t waited = 0; waited < ms; waited = SDL_GetTicks() - start) {
        SDL_PumpEvents();
        SDL_Event next;
        if (hungUp != 0 ||
            SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_ALLEVENTS & ~SDL_MOUSEMOTIONMASK) > 0) {
            return;
        }
        SDL_Delay(std::min(Slice, ms - waited));
    }
}

int toggleFullscreen() {
    SDL_Surface* screen = SDL_GetVideoSurface();
    return screen != nullptr && SDL_WM_ToggleFullScreen(screen) != 0 ? 0 : -1;
}

int setupGL(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, width, height, 0);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glClearColor(0, 0, 0, 0);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return 0;
}

int initAudio(int frequency, int channels) {
    return Mix_OpenAudio(frequency, AUDIO_S16LSB, channels, 4096) == 0 ? 0 : -1;
}

int setCaption(const char* text) {
    SDL_WM_SetCaption(text, nullptr);
    return 0;
}

void clearScreen() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void swapBuffers() {
    SDL_GL_SwapBuffers();
}

void delay(std::uint32_t ms) {
    SDL_Delay(ms);
}

void runMainLoop(const std::function<bool()>& frame) {
    while (frame()) {
    }
}

bool programCanEnd() {
    return true;
}

void requestTextEntry(bool) {}

void persistFiles() {}
