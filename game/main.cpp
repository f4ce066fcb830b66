// The entry point: one Game, started, run and shut down. Exits 1 when start-up did not
// complete (no window, a music track that does not open), 0 after an ordinary run.

#include "game/Game.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

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

int main() {
    openClosedStandardStreams();
    // A save past the file-size limit then fails with its warning instead of ending the game.
    std::signal(SIGXFSZ, SIG_IGN);
    Game game(nullptr);
    const int started = game.init(800, 600);
    game.run();
    game.shutdown();
    return started == 1 ? 0 : 1;
}
