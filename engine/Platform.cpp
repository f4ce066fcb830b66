#include "engine/Platform.h"

#include "engine/JumpKey.h"
#include "engine/Letterbox.h"
#include "engine/TextureRemake.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

volatile std::sig_atomic_t hungUp = 0;

void noteHangUp(int) {
    hungUp = 1;
}

// The one window of the process (SDL 1.2 has one) and what it shows.
struct Display {
    int worldWidth = 0;
    int worldHeight = 0;
    int desktopWidth = 0; // as SDL reported it before the first mode was set; 0 unknown
    int desktopHeight = 0;
    WindowMode mode;
    Viewport view{0, 0, 0, 0};
};
Display display;

std::atomic<bool> muted{false};

constexpr Uint32 WindowFlags = SDL_HWSURFACE | SDL_OPENGL | SDL_ASYNCBLIT | SDL_ANYFORMAT;

// Sets the video mode and records it. False when SDL refuses (nothing recorded).
bool applyMode(const WindowMode& mode) {
    // Fullscreen at any other size than the desktop's would change the display's mode.
    const int width = mode.fullscreen ? display.desktopWidth : mode.width;
    const int height = mode.fullscreen ? display.desktopHeight : mode.height;
    if (width <= 0 || height <= 0 ||
        SDL_SetVideoMode(width, height, 0,
                         WindowFlags | (mode.fullscreen ? SDL_FULLSCREEN : SDL_RESIZABLE)) ==
            nullptr) {
        return false;
    }
    display.mode = mode;
    // A new context knows neither the drawing state nor the textures.
    setupGL(display.worldWidth, display.worldHeight);
    remakeLostTextures();
    return true;
}

// A change of mode that leaves the window as it was when refused.
int changeMode(const WindowMode& mode) {
    const WindowMode before = display.mode;
    if (applyMode(mode)) {
        return 0;
    }
    // A refused mode may have taken the old window with it.
    if (SDL_GetVideoSurface() == nullptr) {
        applyMode(before);
    }
    return -1;
}

void silenceWhenMuted(void*, Uint8* stream, int length) {
    if (muted) {
        std::memset(stream, 0, static_cast<std::size_t>(length)); // signed samples: 0 is silence
    }
}

} // namespace

int initVideo(int width, int height, const WindowMode& mode) {
    // Without a display SDL would fall back on its text-terminal drivers, which write escape
    // codes to the terminal; the X11 driver just fails.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    // sdl12-compat would scale the picture itself, drawing every frame into a buffer of its
    // own and copying that to the window (a third more work per frame under Mesa's software
    // renderer); the letterbox here scales it already.
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
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

    display.worldWidth = width;
    display.worldHeight = height;
    // Once a mode is set SDL 1.2 reports the window's size instead.
    const SDL_VideoInfo* desktop = SDL_GetVideoSurface() == nullptr ? SDL_GetVideoInfo() : nullptr;
    if (desktop != nullptr) {
        display.desktopWidth = desktop->current_w;
        display.desktopHeight = desktop->current_h;
    }
    WindowMode first = mode;
    const bool known = display.desktopWidth > 0 && display.desktopHeight > 0;
    if (first.width <= 0 || first.height <= 0 ||
        (known && (first.width > display.desktopWidth || first.height > display.desktopHeight))) {
        const int scale = std::min(windowScale(display.desktopHeight, height),
                                   windowScale(display.desktopWidth, width));
        first.width = width * scale;
        first.height = height * scale;
    }
    if (!applyMode(first)) {
        first.fullscreen = false;
        if (!mode.fullscreen || !applyMode(first)) {
            return -1;
        }
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
    if (SDL_PollEvent(&event) == 0) {
        return false;
    }
    const bool motion = event.type == SDL_MOUSEMOTION;
    if (motion || event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) {
        Uint16& ex = motion ? event.motion.x : event.button.x;
        Uint16& ey = motion ? event.motion.y : event.button.y;
        const SDL_Surface* window = SDL_GetVideoSurface();
        int x = ex, y = ey;
        windowToWorld(display.view, window != nullptr ? window->h : 0, display.worldWidth,
                      display.worldHeight, x, y);
        ex = static_cast<Uint16>(x);
        ey = static_cast<Uint16>(y);
    }
    return true;
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
    WindowMode next = display.mode;
    next.fullscreen = !next.fullscreen;
    return changeMode(next);
}

int resizeWindow(int width, int height) {
    if (display.mode.fullscreen) {
        return -1;
    }
    WindowMode next = display.mode;
    next.width = std::max(width, 1);
    next.height = std::max(height, 1);
    return changeMode(next);
}

WindowMode windowMode() {
    return display.mode;
}

int setupGL(int width, int height) {
    display.worldWidth = width;
    display.worldHeight = height;
    const SDL_Surface* window = SDL_GetVideoSurface();
    display.view = window != nullptr ? letterbox(window->w, window->h, width, height)
                                     : Viewport{0, 0, width, height};
    glViewport(display.view.x, display.view.y, display.view.width, display.view.height);
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
    if (Mix_OpenAudio(frequency, AUDIO_S16LSB, channels, 4096) != 0) {
        return -1;
    }
    Mix_SetPostMix(silenceWhenMuted, nullptr);
    return 0;
}

void setMuted(bool on) {
    muted = on;
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
