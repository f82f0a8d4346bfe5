#include "app/main_loop.h"

#include "app/flags.h"
#include "display/frame.h"
#include "palette/palette.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "sim/cell_field.h"
#include "slider/slider.h"

void (*frame_shown_hook)() = nullptr;
void (*before_frame_hook)() = nullptr;
bool (*message_hook)(const Message& message) = nullptr;
bool (*due_input_hook)() = nullptr;
bool (*hold_frames_hook)() = nullptr;

namespace {

constexpr std::int64_t longest_catch_up = 60;  // frames: a second of them

void produce_tick()
{
    if (before_frame_hook)
        before_frame_hook();
    count_tick();
    produce_frame(!paused);
    if (frame_shown_hook)
        frame_shown_hook();
    // The parameter slider's track shows the displayed palette.
    if (fade_step())
        for (std::int32_t i = 0; i < slider_count; ++i)
            if (get_binding(sliders[i]) != bind_palette)
                repaint_slider(sliders[i]);
}

}  // namespace

FrameSchedule start_schedule()
{
    FrameSchedule s;
    std::int64_t frequency = 0;
    if (query_performance_frequency(frequency) && frequency > 0) {
        s.high_resolution = true;
        s.ticks_per_frame = frequency / 60;
        s.ticks_per_ms = frequency / 1000;
        query_performance_counter(s.next_frame_time);
    } else {
        // The millisecond clock: one frame per 16 ms, 62.5 a second.
        s.next_frame_time = tick_count();
        s.ticks_per_frame = 16;
    }
    return s;
}

std::int64_t read_clock(const FrameSchedule& schedule)
{
    if (!schedule.high_resolution)
        return tick_count();
    std::int64_t now = 0;
    query_performance_counter(now);
    return now;
}

std::uint32_t sleep_before_frame(const FrameSchedule& schedule, std::int64_t now)
{
    const std::int64_t remaining = schedule.next_frame_time - now;
    if (remaining <= 2 * schedule.ticks_per_ms)
        return 0;
    return static_cast<std::uint32_t>(remaining / schedule.ticks_per_ms - 1);
}

MainLoop start_main_loop()
{
    MainLoop loop;
    loop.schedule = start_schedule();
    return loop;
}

bool run_main_loop_pass(MainLoop& loop)
{
    FrameSchedule& schedule = loop.schedule;
    Message& message = loop.message;
    loop.sleep = 0;
    loop.waiting_for_frame = false;
    for (;;) {
        if (message.message == wm_quit)
            return false;
        if (peek_message(message)) {
            if (message.message == wm_quit || !message_hook || !message_hook(message)) {
                translate_message(message);
                dispatch_message(message);
            }
            continue;
        }
        if (!running)
            return true;
        if (hold_frames_hook && hold_frames_hook()) {
            loop.sleep = 10;
            return true;
        }
        const std::int64_t now = read_clock(schedule);
        if (now >= schedule.next_frame_time) {
            if (due_input_hook && due_input_hook())
                continue;
            // A stall of up to a second is made up frame by frame, so a dragged
            // window loses none; after a longer one (a page hidden for an hour)
            // making them all would freeze the toy for as long: the schedule
            // starts again from now.
            if (now - schedule.next_frame_time > longest_catch_up * schedule.ticks_per_frame)
                schedule.next_frame_time = now;
            schedule.next_frame_time += schedule.ticks_per_frame;
            produce_tick();
            continue;
        }
        loop.sleep = sleep_before_frame(schedule, now);
        loop.waiting_for_frame = true;
        return true;
    }
}

std::int32_t run_main_loop()
{
    MainLoop loop = start_main_loop();
    while (run_main_loop_pass(loop)) {
        // Where the system wakes a sleeper on time, one sleep to the deadline
        // takes the place of the short sleep and the spin after it: the same
        // frames at the same deadlines, without a core kept busy waiting.
        if (loop.waiting_for_frame && loop.schedule.high_resolution &&
            sleep_until_counter(loop.schedule.next_frame_time))
            continue;
        if (loop.sleep > 0)
            sleep_ms(loop.sleep);
    }
    return static_cast<std::int32_t>(loop.message.wparam);
}
