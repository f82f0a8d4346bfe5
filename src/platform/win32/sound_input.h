// The window side of the native sound input: an input that stopped by
// itself is told on the main thread, from the message peek.
#pragma once

// Calls the input's `ended` if its thread stopped by itself since the last
// call; otherwise nothing.
void pass_sound_input_end();
