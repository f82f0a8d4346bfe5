// The extras of the toy a user plays (modra, modra-render, the page): the
// keys, keeping and recording the picture, attract mode. Each sees the main
// window's messages before the toy does, in that order of need: attract
// mode's timer, the recording's, then the keys.
#pragma once

// The main window takes them from now on.
void enable_toy_extras();
