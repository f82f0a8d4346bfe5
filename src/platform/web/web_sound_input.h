// The page's sound input hands what it heard since the last pass to the
// listener, and says when it ended, from the host's poll: blocks and
// endings then arrive on the main thread between passes, as the listener
// expects.
#pragma once

void web_sound_input_poll();
