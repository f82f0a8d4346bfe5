// modra: the toy in a window of its own, on the SDL2 host.
#include <cstdio>
#include <string>

#include "app/startup.h"
#include "keys/play_keys.h"
#include "platform/sdl/sdl_host.h"

int main()
{
    std::string error;
    if (!sdl_host_start(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    enable_play_keys();
    const int code = app_main();
    sdl_host_stop();
    return code;
}
