// The screensaver's run: the whole toy started as ever, in attract mode, its
// main window kept hidden, and only its picture shown in a window of the
// screensaver's own — a topmost popup over the whole virtual desktop that
// any key, click or real pointer move ends, or a child filling a preview
// window that ends when that window goes.
#pragma once

#include <cstdint>

#include "platform/win32/handles.h"

// Full screen when `preview_parent` is null. The main loop's result (0), or
// 1 when start-up failed and has told the user.
std::int32_t run_saver(HWND preview_parent);
