// modra: the toy in a window of its own, on the SDL2 host.
#include <cstdio>
#include <string>
#include <vector>

#include "app/startup.h"
#include "modra_version.h"
#include "platform/sdl/sdl_host.h"
#include "programs/common/toy_extras.h"
#include "programs/modra/command_line.h"

namespace {

constexpr int exit_usage = 2;

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
    const int code = app_main();
    sdl_host_stop();
    return code;
}
