// The platform layer in a browser page: Emscripten's SDL 1.2 over WebGL, driven by the page's
// frame callback. The page (web/page.js) provides on the Module object:
//   toggleFullscreen()    switches the page to or from fullscreen; false where it cannot
//   showTextEntry(shown)  shows or hides the name field over the canvas (on touch screens)
//   typedKeys             SDL key symbols typed into that field, oldest first
//   persistFiles()        copies the kept folder into the browser's storage
#include "engine/Platform.h"

#include "engine/JumpKey.h"
#include "engine/QuadDraw.h"

#include <GL/gl.h>
#include <SDL_mixer.h>
#include <emscripten.h>
#include <sys/stat.h>

namespace {

EM_JS(int, hasDrawingContext, (), {
    if (Module.ctx) {
        return 1;
    }
    SDL.errorMessage = allocateUTF8("this browser offers no WebGL");
    return 0;
});
EM_JS(int, pageToggleFullscreen, (), {
    return Module.toggleFullscreen && Module.toggleFullscreen() ? 1 : 0;
});
EM_JS(void, pageShowTextEntry, (int shown), {
    if (Module.showTextEntry) Module.showTextEntry(shown != 0);
});
EM_JS(int, pageTypedKey, (), {
    var keys = Module.typedKeys;
    return keys && keys.length ? keys.shift() : 0;
});
EM_JS(void, pageMuteMusic, (int muted), {
    Module.musicMuted = muted != 0;
    if (Module.music) Module.music.player.muted = muted != 0;
});
EM_JS(void, pagePersistFiles, (), {
    if (Module.persistFiles) Module.persistFiles();
});

// Emscripten starts with a file-creation mask of 0777, which would leave every new file
// unreadable: start from the usual 022 instead.
[[maybe_unused]] const mode_t usualMask = umask(022);

std::function<bool()> loopFrame;
bool textEntryShown = false;

void callLoopFrame() {
    if (!loopFrame()) {
        emscripten_cancel_main_loop();
    }
}

// A hidden page or one that lost the input focus reads as the desktop's lost focus.
SDL_Event activeEvent(Uint8 state, bool gained) {
    SDL_Event event{};
    event.type = SDL_ACTIVEEVENT;
    event.active.gain = gained ? 1 : 0;
    event.active.state = state;
    return event;
}

} // namespace

// The canvas is the page's: its size and fullscreen are the page's business, and it starts
// as the page lays it out whatever the mode asks.
int initVideo(int width, int height, const WindowMode&) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_JOYSTICK) < 0) {
        return -1;
    }
    openJoysticks();
    // Nothing is drawn with a depth test: a depth buffer would only cost the browser a clear
    // every frame.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    if (SDL_SetVideoMode(width, height, 0, SDL_OPENGL) == nullptr || hasDrawingContext() == 0) {
        return -1;
    }
    SDL_WM_SetCaption("Pyrokettle", nullptr);
    return 0;
}

bool pollEvent(SDL_Event& event) {
    if (const int key = pageTypedKey()) {
        event = SDL_Event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = static_cast<SDLKey>(key);
        return true;
    }
    if (SDL_PollEvent(&event) == 0) {
        return false;
    }
    if (event.type == SDL_WINDOWEVENT) {
        switch (event.window.event) {
        case SDL_WINDOWEVENT_HIDDEN:
        case SDL_WINDOWEVENT_SHOWN:
            event = activeEvent(SDL_APPACTIVE, event.window.event == SDL_WINDOWEVENT_SHOWN);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            event = activeEvent(SDL_APPINPUTFOCUS,
                                event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
            break;
        }
    } else if (event.type == SDL_FINGERDOWN && event.tfinger.touchId != SDL_TOUCH_MOUSEID) {
        // SDL reports a mouse button as a finger too; only real fingers tap. Their place
        // comes as a share of the canvas.
        const SDL_Surface* screen = SDL_GetVideoSurface();
        event = tapEvent(static_cast<int>(event.tfinger.x * static_cast<float>(screen->w)),
                         static_cast<int>(event.tfinger.y * static_cast<float>(screen->h)));
    }
    return true;
}

// A page cannot sleep, nor needs to: the browser stops calling the frame callback of a hidden
// page and paces a shown one to the display.
bool windowIsWatched() {
    return true;
}

void waitForEvent(std::uint32_t) {}

int toggleFullscreen() {
    return pageToggleFullscreen() != 0 ? 0 : -1;
}

int resizeWindow(int, int) {
    return -1;
}

// Nothing to remember: the page decides again at every visit.
WindowMode windowMode() {
    return WindowMode{};
}

// The fixed 2D state of the desktop's setupGL, without what WebGL has no use for (shading
// model, depth, perspective hint).
int setupGL(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glClearColor(0, 0, 0, 0);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    return 0;
}

int initAudio(int frequency, int channels) {
    return Mix_OpenAudio(frequency, AUDIO_S16LSB, channels, 4096) == 0 ? 0 : -1;
}

// The effects through their channels' volume (kept to come back to), the music through its
// <audio> element (web/Music.cpp mutes one made later).
void setMuted(bool muted) {
    static int unmutedVolume = -1;
    if (muted && unmutedVolume < 0) {
        unmutedVolume = Mix_Volume(-1, -1);
        Mix_Volume(-1, 0);
    } else if (!muted && unmutedVolume >= 0) {
        Mix_Volume(-1, unmutedVolume);
        unmutedVolume = -1;
    }
    pageMuteMusic(muted ? 1 : 0);
}

int setCaption(const char* text) {
    SDL_WM_SetCaption(text, nullptr); // the page's title
    return 0;
}

void clearScreen() {
    flushQuads();
    glClear(GL_COLOR_BUFFER_BIT);
}

// The browser presents the canvas when the frame callback returns; the quads still gathered
// must be drawn by then.
void swapBuffers() {
    flushQuads();
}

void delay(std::uint32_t) {}

void runMainLoop(const std::function<bool()>& frame) {
    loopFrame = frame;
    emscripten_set_main_loop(callLoopFrame, 0, 1);
}

bool programCanEnd() {
    return false;
}

void requestTextEntry(bool wanted) {
    if (wanted != textEntryShown) {
        textEntryShown = wanted;
        pageShowTextEntry(wanted ? 1 : 0);
    }
}

void persistFiles() {
    pagePersistFiles();
}
