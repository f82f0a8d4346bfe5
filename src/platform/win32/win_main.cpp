// The Windows entry point: the program reads no command line and returns
// whatever start-up and the main loop decide.
#include "app/startup.h"
#include "platform/win32/handles.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    set_program_instance(instance);
    return app_main();
}
