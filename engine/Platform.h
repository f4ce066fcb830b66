#pragma once
// The thin layer over the window, the global GL state and the audio device.
// Every function runs on the main thread, which owns the GL context.

#include <SDL.h>
#include <cstdint>

// Starts SDL (every subsystem), registers SDL_Quit to run at process exit, opens every
// joystick present (openJoysticks() in JumpKey.h) and opens a width x height window with an
// OpenGL context in the desktop's depth, captioned "Pyrokettle", asking for buffer swaps in
// step with the display (drivers may ignore that). Uses SDL's X11 video driver unless
// SDL_VIDEODRIVER names another. From then on a hang-up (SIGHUP: the terminal was closed)
// asks the game to quit, as SDL makes SIGINT and SIGTERM do (see pollEvent). Returns 0 on
// success, -1 when SDL cannot start or the mode cannot be set. Prints nothing;
// SDL_GetError() holds the reason.
int initVideo(int width, int height);

// Takes the next pending event as SDL_PollEvent does; false when there is none. A hang-up
// received since initVideo is handed out first, once, as an SDL_QUIT event.
bool pollEvent(SDL_Event& event);

// False while the window is iconified or has lost the input focus.
bool windowIsWatched();

// Sleeps until an event other than a mouse motion is pending or a hang-up has arrived, but
// at most `ms` milliseconds: an idle loop's pace that still answers the player at once.
void waitForEvent(std::uint32_t ms);

// Switches the window between windowed and fullscreen through SDL's own toggle, which keeps
// the GL context and every texture. Returns 0 when switched, -1 when the video driver
// refuses (the window stays as it was). Prints nothing.
int toggleFullscreen();

// Sets the fixed 2D drawing state: the projection matrix is current for the whole run,
// one unit per pixel, origin top-left, y downwards; texturing and blending enabled,
// black clear colour. The depth test stays off. Always returns 0.
int setupGL(int width, int height);

// Opens the audio device: `frequency` samples per second, signed 16-bit little-endian,
// `channels` channels, 4096-sample chunks. Returns 0 on success, -1 on failure.
int initAudio(int frequency, int channels);

// Sets the window caption (no icon title). Always returns 0.
int setCaption(const char* text);

// Clears the colour and depth buffers.
void clearScreen();

// Presents the back buffer.
void swapBuffers();

// Sleeps `ms` milliseconds; 0 yields the processor without waiting.
void delay(std::uint32_t ms);
