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
        Refuse,      // an argument that is not understood
    };
    Action action = Play;
    // --fullscreen (true) or --window (false), the last one given: how this run starts,
    // whatever is remembered. Empty when neither is given.
    std::optional<bool> fullscreen;
    // For Refuse: why, as the rest of the line "pyrokettle: <problem>".
    std::string problem;
};

// Reads argv[1] to argv[argc - 1]. Any argument not understood refuses the whole line,
// whatever else it asks (the first such one is named); otherwise help wins over version,
// and version over play.
CommandLine readCommandLine(int argc, const char* const* argv);
