#pragma once
// Where the game's files are: decided once, at start-up, by the entry point; nothing else
// in the game knows whether it was installed.
//
// - The working directory holds a ./media directory (the source tree, scripts/play):
//   nothing changes; media, high scores and settings are in ./media, as always.
// - Otherwise, when the installed data directory exists (dataFromBin, relative to the
//   directory of the running executable, so a moved prefix or DESTDIR still finds it):
//   the working directory becomes that data directory, so every media path and every log
//   line read as in the source tree, and the player's own files move to the user's folders:
//   the high scores to ${XDG_DATA_HOME:-$HOME/.local/share}/pyrokettle/poon.txt, the
//   settings to ${XDG_CONFIG_HOME:-$HOME/.config}/pyrokettle/settings (the XDG variables and
//   HOME count only when absolute; without HOME the password database's home directory is
//   used).
// - With neither, nothing changes (the missing media are reported as usual).

#include <string>

// The files the player's data goes to; "" for none: a table or settings with no file, which
// neither load nor save.
struct GameFiles {
    std::string scores;
    std::string settings;
};

// Returns the player's files. In the source tree they are ./media/poon.txt and
// ./media/settings. When installed but no home directory can be found for one, prints on
// standard error, naming what is not kept,
// "WARN) No home directory (HOME unset, none in the password database); high scores and settings are not saved"
// and leaves that one "".
GameFiles locateGameFiles(const std::string& dataFromBin);
