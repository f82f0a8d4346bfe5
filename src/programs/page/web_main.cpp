// modra in a page: start-up as on the desktop, then one pass of the main
// loop per animation frame, since a page must never block.
#include <emscripten.h>

#include "app/layout.h"
#include "app/main_loop.h"
#include "app/startup.h"
#include "keys/play_keys.h"
#include "platform/web/web_host.h"
#include "programs/common/toy_extras.h"

namespace {

MainLoop loop;

// A phone cannot drop a file on the page: O asks the browser for one.
void choose_sound_file(WindowHandle) { web_choose_sound_file(); }

const ExtraKey page_keys[] = {
    {'O', choose_sound_file, "O   listen to a sound file: the page plays it\n"},
};

void pass()
{
    if (!run_main_loop_pass(loop)) {
        emscripten_cancel_main_loop();
        EM_ASM(Module.modraEnded(););
    }
}

}  // namespace

int main()
{
    web_host_start({client_width, client_height, zoom_keys});
    enable_toy_extras();
    offer_extra_keys(page_keys);
    if (!start_app()) {
        EM_ASM(Module.modraEnded(););
        return 0;
    }
    loop = start_main_loop();
    // 0: the browser's animation frames; the loop itself keeps sixty a second.
    emscripten_set_main_loop(pass, 0, false);
    return 0;
}
