// The entry point: one Game, started, run and shut down. Exits 1 when start-up did not
// complete (no window, a music track that does not open), 0 after an ordinary run.

#include "game/CommandLine.h"
#include "game/Game.h"
#include "game/Installation.h"
#include "game/ReplayCheck.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

const char* const Usage =
    "Usage: pyrokettle [-h|--help] [-v|--version] [--fullscreen|--window] [--replay FILE]\n"
    "                  [--verify FILE]\n"
    "A one-button arcade game: hold Space to fly, Up/Down and Enter in the menu, M mutes,\n"
    "F11 toggles fullscreen, Escape quits. Started where ./media is, it plays from there and\n"
    "keeps high scores and settings in it; otherwise it plays from its installed data,\n"
    "keeping high scores in ${XDG_DATA_HOME:-$HOME/.local/share}/pyrokettle/poon.txt (the runs\n"
    "of the ten best beside them, in replays/) and settings in\n"
    "${XDG_CONFIG_HOME:-$HOME/.config}/pyrokettle/settings.\n"
    "  --fullscreen, --window  start this run so, whatever was chosen last\n"
    "  --replay FILE  play a recorded game in the window; any key ends it\n"
    "  --verify FILE  replay it without a window and print its final score; exit status\n"
    "                 0 when that is the recorded one, 1 when not, 2 when unreadable\n"
    "See pyrokettle(6).\n";

// Prints the answer to --help or --version; false when stdout would not take it.
bool answer(const char* text) {
    return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0;
}

// A closed standard stream would go to the next file the game opens (the X connection
// among them), and the log lines into that file: closed ones are opened on /dev/null.
void openClosedStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY); // the lowest free one: fd
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    openClosedStandardStreams();
    const CommandLine options = readCommandLine(argc, argv);
    switch (options.action) {
    case CommandLine::ShowHelp:
        return answer(Usage) ? 0 : 1;
    case CommandLine::ShowVersion:
        return answer("pyrokettle " PYROKETTLE_VERSION "\n") ? 0 : 1;
    case CommandLine::Refuse:
        std::fprintf(stderr, "pyrokettle: %s\nTry 'pyrokettle --help'.\n", options.problem.c_str());
        return 2;
    case CommandLine::Verify:
        return verifyRecordingFile(options.file);
    case CommandLine::Play:
    case CommandLine::Replay:
        break;
    }
    // Read before anything changes the working directory (an installed game's).
    Recording watched;
    std::string problem;
    if (options.action == CommandLine::Replay && !readRecording(options.file, watched, problem)) {
        std::fprintf(stderr, "FAIL) Cannot replay %s: %s\n", options.file.c_str(), problem.c_str());
        return 2;
    }
    // A save past the file-size limit then fails with its warning instead of ending the game,
    // and output into a closed pipe is lost instead of ending it (with status 141).
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    Game game(nullptr);
    const GameFiles files = locateGameFiles(PYROKETTLE_DATA_FROM_BIN);
    game.highScores = HighScoreTable(files.scores);
    game.settings = Settings(files.settings);
    game.settings.load();
    game.startFullscreen = options.fullscreen;
    const int started = game.init(800, 600);
    if (options.action == CommandLine::Replay) {
        game.startWatching(std::move(watched), options.file, Menu, false);
        game.watching.quitAfter = true;
    }
    game.run();
    game.shutdown();
    return started == 1 ? 0 : 1;
}
