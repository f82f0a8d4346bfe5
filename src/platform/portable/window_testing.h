// For tests of the portable window system and of the program on it.
#pragma once

// Forgets every window, class, timer, queued message and the framebuffer,
// without sending any message: each test starts from an empty system.
void reset_window_system();
