#pragma once
// What a run of the game is asked to do by its arguments. Every argument is an option of
// its own; the game takes no operands.

#include <optional>
#include <string>

struct CommandLine {
    enum Action {
        Play,        // no option asks for anything else
        ShowHelp,    // -h or --help
        ShowVersion, // -v or --version
        Replay,      // --replay FILE: play a recording in the window
        Verify,      // --verify FILE: replay a recording without a window, check its score
        Refuse,      // an argument that is not understood, or an option without its value
    };
    Action action = Play;
    // --fullscreen (true) or --window (false), the last one given: how this run starts,
    // whatever is remembered. Empty when neither is given.
    std::optional<bool> fullscreen;
    // For Refuse: why, as the rest of the line "pyrokettle: <problem>".
    std::string problem;
    // For Replay and Verify: the recording.
    std::string file;
};

// Reads argv[1] to argv[argc - 1]. Any argument not understood refuses the whole line,
// whatever else it asks (the first such one is named), and so does --replay or --verify
// as the last argument, with no FILE after it ("--replay=FILE" works too). Otherwise help
// wins over version, version over the last of --replay and --verify, and those over play.
CommandLine readCommandLine(int argc, const char* const* argv);
