// modra-saver: the toy's picture alone, playing by itself, as an xscreensaver
// display hack on the X11 host.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "app/saver_options.h"
#include "app/startup.h"
#include "attract/attract.h"
#include "keys/play_keys.h"
#include "platform/x11/x11_host.h"

namespace {

constexpr int exit_usage = 2;
constexpr int exit_failed = 1;

}  // namespace

int main(int argc, char** argv)
{
    SaverOptions options;
    const std::string error =
        parse_saver_options({argv + 1, argv + argc}, std::getenv("XSCREENSAVER_WINDOW"), options);
    if (!error.empty()) {
        std::fprintf(stderr, "modra-saver: %s\n", error.c_str());
        return exit_usage;
    }
    if (options.help) {
        std::fputs(saver_usage, stdout);
        return 0;
    }
    std::string why;
    if (!x11_host_start(options.target, why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return exit_failed;
    }
    // A new picture every time the screen blanks.
    attract_from_start(attract_clock_seed());
    // Attract mode runs from the main window's extras, which the keys install;
    // no key ever arrives, as no input is handed to the toy.
    enable_play_keys();
    // Start-up has told what failed (on stderr); a screensaver that shows
    // nothing must say so in its exit code.
    const int code = start_app() ? run_main_loop() : exit_failed;
    x11_host_stop();
    return code;
}
