// The command line of modra, the toy in a window: none at all plays, a
// replay file plays it back, and it answers --help and --version as a
// program of its system should.
#pragma once

#include <span>
#include <string>

struct ModraCommand {
    enum Kind { play, replay, help, version, bad } kind = play;
    std::string error;  // bad: one line saying what is wrong
    std::string file;   // replay: the replay to play (a .modra file)
};

// The arguments after the program name. `windows` also takes /? for help.
ModraCommand parse_modra_command(std::span<const std::string> args, bool windows);

// The replay in `file`, to play from the start: false with `error` (one
// line, the file named) when it cannot be read or is no whole replay.
bool load_replay_file(const std::string& file, std::string& error);
// Whether `file` is a whole replay, as load_replay_file would find it.
bool is_replay_file(const std::string& file, std::string& error);

// What --help prints: the usage, the mouse and the keys (the extras' keys
// must have been offered first, as the program offers them).
std::string modra_usage();
