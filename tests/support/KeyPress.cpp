#include "support/KeyPress.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <cstdlib>

namespace keypress {

namespace {
bool xdotool(const std::string& arguments) {
    const std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}
} // namespace

bool focusWindow() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) != 1) {
        return false;
    }
    // SDL takes key events on the outer (window-manager) window.
    return xdotool("windowfocus --sync " + std::to_string(info.info.x11.wmwindow));
}

bool down(const std::string& key) {
    return xdotool("keydown " + key);
}

bool up(const std::string& key) {
    return xdotool("keyup " + key);
}

} // namespace keypress
