// The arrow keys as the sliders' arrows: a key going down presses the
// arrow, each repeat of the held key is one more step, as the arrow's own
// repeat is, and the key coming up ends the press, which for the palette
// slider sets the target palette.
#pragma once

#include <cstdint>

// Up / Down: the parameter slider's increase / decrease arrow; Right / Left:
// the palette slider's. False for any other key.
bool slider_key_down(std::uintptr_t virtual_key, bool repeat);
bool slider_key_up(std::uintptr_t virtual_key);
