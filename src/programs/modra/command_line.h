// The command line of modra, the toy in a window: none at all plays, and it
// answers --help and --version as a program of its system should.
#pragma once

#include <span>
#include <string>

struct ModraCommand {
    enum Kind { play, help, version, bad } kind = play;
    std::string error;  // bad: one line saying what is wrong
};

// The arguments after the program name. `windows` also takes /? for help.
ModraCommand parse_modra_command(std::span<const std::string> args, bool windows);

// What --help prints: the usage, the mouse and the keys (the extras' keys
// must have been offered first, as the program offers them).
std::string modra_usage();
