// The command line of modra-saver, in xscreensaver's conventions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/x11/x11_host.h"

struct SaverOptions {
    X11Target target;
    bool help = false;
    bool version = false;
};

extern const char* const saver_usage;

// Fills `options` from the arguments after the program name and the value of
// XSCREENSAVER_WINDOW (null when unset); returns an empty string, or one line
// saying what is wrong.
std::string parse_saver_options(const std::vector<std::string>& args, const char* environment_window,
                                SaverOptions& options);

// An X window id as xscreensaver writes one: decimal, or hexadecimal after
// 0x; never 0, and within the 32 bits of the protocol.
bool parse_window_id(const std::string& text, std::uint32_t& id);
