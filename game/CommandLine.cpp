#include "game/CommandLine.h"

#include <cstring>

CommandLine readCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
            help = true;
        } else if (std::strcmp(argument, "-v") == 0 || std::strcmp(argument, "--version") == 0) {
            version = true;
        } else if (std::strcmp(argument, "--fullscreen") == 0 ||
                   std::strcmp(argument, "--window") == 0) {
            line.fullscreen = argument[2] == 'f';
        } else {
            line.action = CommandLine::Refuse;
            line.problem = std::string("unknown option '") + argument + "'";
            return line;
        }
    }
    line.action = help ? CommandLine::ShowHelp : version ? CommandLine::ShowVersion : CommandLine::Play;
    return line;
}
