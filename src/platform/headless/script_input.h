// Input laid out ahead of time on the virtual clock: the headless host hands
// each event to the window system at the first poll after the clock reaches
// its time, as a user's actions arrive between frames. Events due at the
// same time keep the order they were queued in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/geometry.h"

// `message` and `buttons` as for inject_pointer; `at_us` on the virtual clock
// (virtual_clock_now()). A time already passed means the next poll.
void script_pointer(std::int64_t at_us, std::uint32_t message, Point point, std::uintptr_t buttons);
void script_resize(std::int64_t at_us, std::int32_t width, std::int32_t height);
void script_close(std::int64_t at_us);

std::size_t script_pending();
void clear_script();

// Injects every event that is due; the host's poll calls it.
void deliver_due_script_input();
