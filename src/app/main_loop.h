// The fixed-rate main loop: window messages first whenever there are any,
// otherwise a frame every 1/60 s.
#pragma once

#include <cstdint>

#include "platform/window.h"

// What goes beyond the toy (a recording) may look at each frame once it is
// shown and before the palette fades a step; unset, nothing is called.
extern void (*frame_shown_hook)();
// And act just before a frame is made, as a message handled then would (a
// hand that answers music); unset, nothing is called.
extern void (*before_frame_hook)();
// And see each message the loop is about to hand out (a replay keeps them),
// keeping back those it returns true for; unset, every message goes.
extern bool (*message_hook)(const Message& message);
// And, once everything queued is handled and a frame is due, hand over
// messages of its own (a replay played back): true when it did, and the
// loop then handles what they caused before the frame. Unset: nothing.
extern bool (*due_input_hook)();
// And hold the frames back while it returns true (a replay holding one
// moment), messages still flowing. Unset: frames run.
extern bool (*hold_frames_hook)();

// Until the quit message; returns its code. Passes, one after another, with
// the sleep each asks for between them.
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

// The loop's state between passes, for a place that cannot block (a page)
// and runs one pass at a time from its own scheduler.
struct MainLoop {
    FrameSchedule schedule;
    Message message;
    // After a pass that ended waiting: the milliseconds run_main_loop sleeps.
    std::uint32_t sleep = 0;
    // And whether it waits for the next frame's deadline (not for the toy
    // to start running).
    bool waiting_for_frame = false;
};

MainLoop start_main_loop();
// One pass: every queued message, then every frame whose deadline has
// passed, with the messages those frames posted in between. False once the
// quit message came (its code is in loop.message.wparam); true when the
// queue is empty and the next frame is not due yet, or the toy is not
// running.
bool run_main_loop_pass(MainLoop& loop);
