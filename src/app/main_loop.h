// The fixed-rate main loop: window messages first whenever there are any,
// otherwise a frame every 1/60 s.
#pragma once

#include <cstdint>

// What goes beyond the toy (a recording) may look at each frame once it is
// shown and before the palette fades a step; unset, nothing is called.
extern void (*frame_shown_hook)();

// Until the quit message; returns its code.
std::int32_t run_main_loop();

// The schedule, apart from the clock it runs on: the deadline moves by
// exactly one period per frame, never by the time that really passed.
struct FrameSchedule {
    std::int64_t ticks_per_frame = 0;
    std::int64_t ticks_per_ms = 1;
    std::int64_t next_frame_time = 0;
    bool high_resolution = false;
};

FrameSchedule start_schedule();
std::int64_t read_clock(const FrameSchedule& schedule);
// Milliseconds to sleep before the next frame: 0 when within 2 ms of it,
// where the rest is spun out.
std::uint32_t sleep_before_frame(const FrameSchedule& schedule, std::int64_t now);
