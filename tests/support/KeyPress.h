#pragma once
// Real key presses for the test window, sent through the X server (XTEST, by xdotool),
// so that SDL's keyboard state sees them as it would a player's.

#include <string>

namespace keypress {

// Gives the keyboard focus to this process's window (found by its id, since other test
// processes may have windows of the same name). False when xdotool cannot do it.
bool focusWindow();

// Presses or releases a key by its X name ("space"). False when xdotool fails.
bool down(const std::string& key);
bool up(const std::string& key);

} // namespace keypress
