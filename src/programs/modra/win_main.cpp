// The Windows entry point: the toy with its extras, playing a replay given
// to it or dropped on it, or, asked on the command line, what it takes and
// which it is, in a box (a window program has no console to print to).
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "keys/play_keys.h"
#include "keys/title_readout.h"
#include "modra_version.h"
#include "platform/win32/given_files.h"
#include "platform/win32/handles.h"
#include "platform/window.h"
#include "programs/common/toy_extras.h"
#include "programs/modra/command_line.h"

namespace {

constexpr int exit_usage = 2;

// A box has a proportional font: the keys as F1 lists them, not in columns.
std::string help_text()
{
    return "Modra: a field of fire, plasma and water ripples to play with.\n"
           "\n"
           "The left button drops bumps into the picture (drag for a trail); a right drag moves the rule "
           "parameter (up, down) and the palette (left, right), as the two sliders do.\n"
           "\n" +
           keys_help() +
           "\n\n"
           "modra.exe takes /? (this), --version, a replay (a .modra file, which K keeps; or drop one on the "
           "window), or nothing. modra.scr, the screensaver, takes /s (run), "
           "/p HWND (preview in that window), /c (settings: it has none) and /?.";
}

MessageHook toy_hook = nullptr;

// A replay dropped on the window plays in a new start of the program, as
// though it had been given on the command line, and this one closes; what
// is no replay leaves the toy as it was, with the reason in the title.
bool win_extras(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    if (message == wm_create)
        accept_dropped_files(window);
    if (message != wm_dropfiles)
        return toy_hook(window, message, wparam, lparam);
    std::string error;
    if (is_replay_file(dropped_file(), error) && start_program_again(dropped_file(), error))
        main_window_proc(window, wm_close, 0, 0);
    else
        show_note(window, error);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    set_program_instance(instance);
    enable_toy_extras();
    toy_hook = main_window_extras;
    main_window_extras = win_extras;
    const std::vector<std::string> args = program_arguments();
    const ModraCommand command = parse_modra_command(args, true);
    switch (command.kind) {
    case ModraCommand::help: information_box(nullptr, help_text().c_str(), "Modra"); return 0;
    case ModraCommand::version: information_box(nullptr, "Modra " MODRA_VERSION, "Modra"); return 0;
    case ModraCommand::bad: show_error("Modra", "%s", command.error.c_str()); return exit_usage;
    case ModraCommand::replay:
        if (std::string error; !load_replay_file(command.file, error)) {
            show_error("Modra", "%s", error.c_str());
            return exit_usage;
        }
        break;
    case ModraCommand::play: break;
    }
    return app_main();
}
