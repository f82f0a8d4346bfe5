// modra: the toy in a window of its own, on the SDL2 host.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "keys/title_readout.h"
#include "modra_version.h"
#include "platform/sdl/sdl_host.h"
#include "programs/common/toy_extras.h"
#include "programs/modra/command_line.h"

namespace {

constexpr int exit_usage = 2;

WindowHandle main_window = nullptr;
MessageHook toy_hook = nullptr;
std::string dropped_replay;  // to play from its start once this session is closed

bool watch_main_window(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    main_window = message == wm_destroy ? nullptr : window;
    return toy_hook(window, message, wparam, lparam);
}

// A replay dropped on the window replaces this session: the program starts
// again with it, as if given it, so that it plays from a fresh start.
void file_dropped(const std::string& path)
{
    std::string error;
    if (!main_window)
        return;
    if (!load_replay_file(path, error)) {
        show_note(main_window, error);
        return;
    }
    dropped_replay = path;
    destroy_window(main_window);
}

}  // namespace

int main(int argc, char** argv)
{
    enable_toy_extras();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ModraCommand command = parse_modra_command(args, false);
    switch (command.kind) {
    case ModraCommand::help: std::fputs(modra_usage().c_str(), stdout); return 0;
    case ModraCommand::version: std::puts("modra " MODRA_VERSION); return 0;
    case ModraCommand::bad: std::fprintf(stderr, "modra: %s\n", command.error.c_str()); return exit_usage;
    case ModraCommand::replay:
        if (std::string error; !load_replay_file(command.file, error)) {
            std::fprintf(stderr, "modra: %s\n", error.c_str());
            return exit_usage;
        }
        break;
    case ModraCommand::play: break;
    }
    std::string error;
    if (!sdl_host_start(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return exit_usage;
    }
    toy_hook = main_window_extras;
    main_window_extras = watch_main_window;
    sdl_host_on_drop(file_dropped);
    const int code = app_main();
    sdl_host_stop();
    if (!dropped_replay.empty()) {
        char* const again[] = {argv[0], dropped_replay.data(), nullptr};
        execv("/proc/self/exe", again);
        std::fprintf(stderr, "modra: cannot start again with the replay: %s\n", std::strerror(errno));
        return 1;
    }
    return code;
}
