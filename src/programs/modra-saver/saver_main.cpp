// modra-saver: the toy's picture alone, playing by itself, as an xscreensaver
// display hack on the X11 host.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/layout.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "attract/attract.h"
#include "modra_version.h"
#include "platform/x11/x11_host.h"
#include "programs/modra-saver/saver_options.h"

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
    if (options.version) {
        std::puts("modra-saver " MODRA_VERSION);
        return 0;
    }
    // The host shows the view alone, where the main window's layout puts it.
    compute_layout(client_width, client_height);
    std::string why;
    if (!x11_host_start(options.target, {layout_x[0], layout_y[0], layout_x[1], layout_y[1]}, why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return exit_failed;
    }
    // A new picture every time the screen blanks; no input ever reaches the
    // toy, so attract mode is the only extra.
    attract_from_start(attract_clock_seed());
    main_window_extras = attract_message;
    // Start-up has told what failed (on stderr); a screensaver that shows
    // nothing must say so in its exit code.
    const int code = start_app() ? run_main_loop() : exit_failed;
    x11_host_stop();
    return code;
}
