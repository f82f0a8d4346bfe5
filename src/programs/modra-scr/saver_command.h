// The command line Windows starts a screensaver with: /s runs it over the
// whole desktop, /p HWND previews it inside that window (the small screen
// of the Screen Saver settings), /c or /c:HWND asks for its settings, as
// does a start with no argument at all; /? (or --help) asks what it takes,
// --version which it is. Case does not matter, '-' serves as
// '/', and a value follows after a space or a colon. Pure: no Windows call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class SaverMode { run, preview, settings, help, version, bad };

struct SaverCommand {
    SaverMode mode = SaverMode::settings;
    std::uint64_t window = 0;  // preview: the window to draw in; settings: the owner, or 0
    std::string argument;      // bad: the command line as given, trimmed
};

SaverCommand parse_saver_command(std::string_view line);
