#pragma once
// Where the game's files are: decided once, at start-up, by the entry point; nothing else
// in the game knows whether it was installed.
//
// - The working directory holds a ./media directory (the source tree, scripts/play):
//   nothing changes; media and high scores are ./media, as always.
// - Otherwise, when the installed data directory exists (dataFromBin, relative to the
//   directory of the running executable, so a moved prefix or DESTDIR still finds it):
//   the working directory becomes that data directory, so every media path and every log
//   line read as in the source tree, and the high scores move to the user's own file,
//   ${XDG_DATA_HOME:-$HOME/.local/share}/pyrokettle/poon.txt (XDG_DATA_HOME and HOME count
//   only when absolute; without HOME the password database's home directory is used).
// - With neither, nothing changes (the missing media are reported as usual).

#include <string>

// Returns the high-score file to use. When installed but no home directory can be found,
// prints on standard error
// "WARN) No home directory (HOME unset, none in the password database); high scores are not saved"
// and returns "": a table with no file, which neither loads nor saves.
std::string locateGameFiles(const std::string& dataFromBin);
