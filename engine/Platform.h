#pragma once
// The thin layer over the window, the global GL state and the audio device.
// Every function runs on the main thread, which owns the GL context.
//
// The window shows the world, the fixed drawing space of setupGL, scaled to the largest size
// that fits the window or the screen with its shape kept, centred, with black bars on the two
// sides left over (letterbox() in Letterbox.h). Every change of mode keeps the drawing state
// and every picture: where SDL makes a new GL context for it, the state is set again and the
// textures are made again from their files (remakeLostTextures() in TextureRemake.h).

#include <SDL.h>
#include <cstdint>
#include <functional>

// How the window is shown.
struct WindowMode {
    // At the desktop's own size: the display's mode is never changed.
    bool fullscreen = false;
    // The window's size while not fullscreen, in pixels; 0 x 0 for the default.
    int width = 0;
    int height = 0;
};

// Starts SDL (every subsystem), registers SDL_Quit to run at process exit, opens every
// joystick present (openJoysticks() in JumpKey.h) and opens a resizable window with an OpenGL
// context in the desktop's depth for a world of width x height pixels, captioned
// "Pyrokettle", asking for buffer swaps in step with the display (drivers may ignore that).
// The window starts as `mode` says: fullscreen where that is possible, else in its window at
// mode's size. The default size, also taken when mode's size does not fit the desktop, is the
// largest whole multiple of the world's whose sides are at most 80% of the desktop's (1x when
// SDL cannot report the desktop's size). Uses SDL's X11 video driver unless SDL_VIDEODRIVER
// names another. From then on a hang-up (SIGHUP: the terminal was closed) asks the game to
// quit, as SDL makes SIGINT and SIGTERM do (see pollEvent). Returns 0 on success, -1 when SDL
// cannot start or no window can be opened. Prints nothing; SDL_GetError() holds the reason.
int initVideo(int width, int height, const WindowMode& mode = {});

// Takes the next pending event as SDL_PollEvent does; false when there is none. A hang-up
// received since initVideo is handed out first, once, as an SDL_QUIT event. Mouse positions
// come as world positions; one on a bar as the nearest point on the world's edge.
bool pollEvent(SDL_Event& event);

// False while the window is iconified or has lost the input focus.
bool windowIsWatched();

// Sleeps until an event other than a mouse motion is pending or a hang-up has arrived, but
// at most `ms` milliseconds: an idle loop's pace that still answers the player at once.
void waitForEvent(std::uint32_t ms);

// Switches between fullscreen and the window at its last size. Returns 0 when switched, -1
// when refused (SDL cannot report the desktop's size, or cannot set the mode): then the
// window stays as it was. Prints nothing.
int toggleFullscreen();

// Gives the window a new size, as after an SDL_VIDEORESIZE event; sizes below 1 count as 1.
// Returns 0 when the window has that size, -1 while fullscreen or when SDL refuses (the
// window stays as it was).
int resizeWindow(int width, int height);

// The window as it is now: whether fullscreen, and its size while not.
WindowMode windowMode();

// Sets the fixed 2D drawing state for a world of width x height pixels: the projection matrix
// is current for the whole run, one unit per world pixel, origin top-left, y downwards, and
// the world fills its letterbox in the window; texturing and blending enabled, black clear
// colour. The depth test stays off. Always returns 0.
int setupGL(int width, int height);

// Opens the audio device: `frequency` samples per second, signed 16-bit little-endian,
// `channels` channels, 4096-sample chunks. Returns 0 on success, -1 on failure.
int initAudio(int frequency, int channels);

// Mutes or unmutes the whole mix (effects and music) at the device: everything goes on
// playing, unheard, so unmuting is heard at once.
void setMuted(bool muted);

// Sets the window caption (no icon title). Always returns 0.
int setCaption(const char* text);

// Clears the colour and depth buffers of the whole window, bars included.
void clearScreen();

// Presents the back buffer.
void swapBuffers();

// Sleeps `ms` milliseconds; 0 yields the processor without waiting. In a browser it returns
// at once: the page's frame callback paces the frames.
void delay(std::uint32_t ms);

// Calls `frame` once per displayed frame for as long as it returns true. On the desktop a
// plain loop that then returns. In a browser the page's frame callback makes the calls and
// this never returns (a page cannot block): the caller's stack frame stays alive with the
// page, and `frame` is kept for good.
void runMainLoop(const std::function<bool()>& frame);

// False where the program cannot end itself (a browser page), so a quit must leave it running.
bool programCanEnd();

// Asks for typed text, or no longer: on a touch screen a browser page then shows a text field
// over the game, which opens the device's keyboard and whose keys reach pollEvent as key-downs
// (letters as lower-case symbols, Backspace, Enter on Enter or Done). The desktop has a
// keyboard: nothing to do. Cheap to call every frame.
void requestTextEntry(bool wanted);

// Makes the files written so far outlast the program. The desktop's files already do. A
// browser copies its kept folder into the browser's storage in the background; storage that
// is refused or full is reported once, by one "WARN)" line on the console.
void persistFiles();

// A tap on a touch screen, at (x, y) in window pixels. pollEvent hands one out for every
// finger put down, besides SDL's own mouse events for it; the desktop has none (SDL 1.2 reports
// a touch screen as a mouse).
constexpr int TapEventCode = 0x7A9;
inline SDL_Event tapEvent(int x, int y) {
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    event.user.code = TapEventCode;
    event.user.data1 = reinterpret_cast<void*>(static_cast<std::intptr_t>(x));
    event.user.data2 = reinterpret_cast<void*>(static_cast<std::intptr_t>(y));
    return event;
}
inline bool readTap(const SDL_Event& event, int& x, int& y) {
    if (event.type != SDL_USEREVENT || event.user.code != TapEventCode) {
        return false;
    }
    x = static_cast<int>(reinterpret_cast<std::intptr_t>(event.user.data1));
    y = static_cast<int>(reinterpret_cast<std::intptr_t>(event.user.data2));
    return true;
}
