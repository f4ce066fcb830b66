#include "engine/JumpKey.h"

#include <SDL.h>
#include <cstdlib>
#include <vector>

namespace {

// Open for the whole run. SDL 1.2 says nothing of one unplugged meanwhile: its reads fail
// quietly and its buttons keep the last state read.
std::vector<SDL_Joystick*> joysticks;

void closeJoysticks() {
    // After SDL_Quit the handles are gone already, and closing them would crash.
    if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0) {
        for (SDL_Joystick* joystick : joysticks) {
            SDL_JoystickClose(joystick);
        }
    }
    joysticks.clear();
}

bool anyJoystickButtonDown() {
    for (SDL_Joystick* joystick : joysticks) {
        for (int button = 0; button < SDL_JoystickNumButtons(joystick); ++button) {
            if (SDL_JoystickGetButton(joystick, button) != 0) {
                return true;
            }
        }
    }
    return false;
}

bool flyButtonDown() {
    // Pumping also reads the open joysticks.
    SDL_PumpEvents();
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    return (keys != nullptr && SDLK_SPACE < count && keys[SDLK_SPACE] != 0) ||
           (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON(SDL_BUTTON_LEFT)) != 0 ||
           anyJoystickButtonDown();
}

JumpKeySource jumpKeySource = flyButtonDown;

} // namespace

bool jumpKeyDown() {
    return jumpKeySource();
}

void openJoysticks() {
    if (!joysticks.empty()) {
        return;
    }
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_Joystick* joystick = SDL_JoystickOpen(index)) {
            joysticks.push_back(joystick);
        }
    }
    if (!joysticks.empty()) {
        SDL_JoystickEventState(SDL_ENABLE);
        for (Uint8 type : {SDL_JOYAXISMOTION, SDL_JOYBALLMOTION, SDL_JOYHATMOTION}) {
            SDL_EventState(type, SDL_IGNORE);
        }
        std::atexit(closeJoysticks);
    }
}

void setJumpKeySource(JumpKeySource source) {
    jumpKeySource = source != nullptr ? source : flyButtonDown;
}
