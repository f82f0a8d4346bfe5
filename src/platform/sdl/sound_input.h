// The SDL host's side of sound coming in: audio events reach the input
// through the host's event loop, and the host stops it with itself.
#pragma once

#include <SDL.h>

void sdl_sound_event(const SDL_Event& event);
void sdl_sound_stop();
