// Hosts that hear nothing (headless, the screensaver's X11 host): every
// input is missing.
#include "platform/sound_input.h"

bool open_sound_input(SoundInput, const SoundInputCalls&, std::string& error)
{
    error = "nothing to listen to";
    return false;
}

void close_sound_input() {}
