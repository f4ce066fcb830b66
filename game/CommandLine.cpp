#include "game/CommandLine.h"

#include <cstring>

CommandLine readCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    bool help = false;
    bool version = false;
    CommandLine::Action replay = CommandLine::Play;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const char* value = std::strchr(argument, '=');
        const std::string name(argument,
                               value != nullptr ? value - argument : std::strlen(argument));
        if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
            help = true;
        } else if (std::strcmp(argument, "-v") == 0 || std::strcmp(argument, "--version") == 0) {
            version = true;
        } else if (std::strcmp(argument, "--fullscreen") == 0 ||
                   std::strcmp(argument, "--window") == 0) {
            line.fullscreen = argument[2] == 'f';
        } else if (name == "--replay" || name == "--verify") {
            if (value == nullptr && i + 1 == argc) {
                line.action = CommandLine::Refuse;
                line.problem = "option '" + name + "' needs a recording file";
                return line;
            }
            replay = name == "--replay" ? CommandLine::Replay : CommandLine::Verify;
            line.file = value != nullptr ? value + 1 : argv[++i];
        } else {
            line.action = CommandLine::Refuse;
            line.problem = std::string("unknown option '") + argument + "'";
            return line;
        }
    }
    line.action = help ? CommandLine::ShowHelp : version ? CommandLine::ShowVersion : replay;
    return line;
}
