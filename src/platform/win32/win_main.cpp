// The Windows entry point: the program reads no command line, takes the
// play keys, and returns whatever start-up and the main loop decide.
#include "app/startup.h"
#include "keys/play_keys.h"
#include "platform/win32/handles.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    set_program_instance(instance);
    enable_play_keys();
    return app_main();
}
