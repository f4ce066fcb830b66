#include "support/GlWindow.h"

#include "engine/Platform.h"

#include <GL/gl.h>
#include <SDL.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace glwindow {

namespace {
bool opened = false;
}

void open() {
    if (!opened) {
        // A busy Xvfb now and then refuses a connection outright (Xlib gives up at once);
        // a few short retries ride that out without hiding a display that is not there.
        // SDL must not fall back to a text-mode driver meanwhile: it has no OpenGL.
        setenv("SDL_VIDEODRIVER", "x11", 0);
        // A connection the server drops later would otherwise end the test by SIGPIPE
        // without a word; ignored, it ends it with Xlib's fatal IO error line instead.
        std::signal(SIGPIPE, SIG_IGN);
        int status = initVideo(Width, Height);
        for (int attempt = 1; attempt < 10 && status != 0; ++attempt) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            SDL_Delay(50);
            status = initVideo(Width, Height);
        }
        ASSERT_EQ(status, 0) << "no display: " << SDL_GetError();
        setupGL(Width, Height);
        opened = true;
    }
    glColor4f(1, 1, 1, 1);
    clearScreen();
}

Rgba pixel(int x, int y) {
    glReadBuffer(GL_BACK);
    unsigned char p[4] = {0, 0, 0, 0};
    glReadPixels(x, Height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Rgba{p[0], p[1], p[2], p[3]};
}

std::string screenshot(const std::string& name) {
    std::vector<unsigned char> rgb(Width * Height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    const std::string base = std::string(TEST_OUTPUT_DIR) + "/" + name;
    const std::string ppm = base + ".ppm";
    if (FILE* f = std::fopen(ppm.c_str(), "wb")) {
        std::fprintf(f, "P6\n%d %d\n255\n", Width, Height);
        for (int row = Height - 1; row >= 0; --row) {
            std::fwrite(&rgb[static_cast<size_t>(row) * Width * 3], 1, Width * 3, f);
        }
        std::fclose(f);
    }
    const std::string png = base + ".png";
    const std::string command = "convert '" + ppm + "' '" + png + "' 2>/dev/null && rm -f '" + ppm + "'";
    return std::system(command.c_str()) == 0 ? png : ppm;
}

} // namespace glwindow
