// The screensaver's entry point (modra.scr): Windows names what it wants on
// the command line; the toy itself is started only to run or preview.

#include "app/startup.h"
#include "modra_version.h"
#include "platform/win32/handles.h"
#include "programs/modra-scr/saver_command.h"
#include "programs/modra-scr/saver_window.h"

namespace {

constexpr char saver_help[] =
    "Modra, the screensaver: the toy's picture alone, playing by itself.\n"
    "\n"
    "/s   run it over the whole desktop\n"
    "/p HWND   show it in that window (the preview in Screen Saver settings)\n"
    "/c   its settings (it has none); so does no argument at all\n"
    "/?   this text\n"
    "\n"
    "Any movement of the mouse or any key ends it.";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int)
{
    set_program_instance(instance);
    const SaverCommand command = parse_saver_command(command_line ? command_line : "");
    switch (command.mode) {
    case SaverMode::run: return run_saver(nullptr);
    case SaverMode::preview: {
        const HWND parent = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(command.window));
        if (!IsWindow(parent)) {
            show_error("Modra", "There is no window %llu for the preview.",
                       static_cast<unsigned long long>(command.window));
            return 2;
        }
        return run_saver(parent);
    }
    case SaverMode::settings: {
        const HWND owner = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(command.window));
        information_box(IsWindow(owner) ? from_hwnd(owner) : nullptr, "Modra has no settings.", "Modra");
        return 0;
    }
    case SaverMode::help: information_box(nullptr, saver_help, "Modra"); return 0;
    case SaverMode::version: information_box(nullptr, "Modra " MODRA_VERSION, "Modra"); return 0;
    case SaverMode::bad: break;
    }
    show_error("Modra", "Modra does not know the argument \"%s\": it takes /s (run), /p HWND (preview), /c (settings) or /?.",
               command.argument.c_str());
    return 2;
}
