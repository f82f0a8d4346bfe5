// The program's entry routine: checks, data, classes, windows, main loop.
#pragma once

#include <cstdint>

// Returns 0 whenever start-up fails, otherwise the main loop's result.
std::int32_t app_main();

// Start-up alone, up to the main loop: false when it failed, and then the
// user has been told.
bool start_app();

// printf-style text, cut at 1024 characters, in an error box with no owner.
void show_error(const char* title, const char* format, ...);
