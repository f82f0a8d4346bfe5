#include "keys/title_readout.h"

#include "platform/clock.h"
#include "sim/cell_field.h"

namespace {

struct Readout {
    bool frame_rate = false;
    bool have_rate = false;
    std::uint32_t rate = 0;
    std::uint32_t since_frames = 0;
    std::uint32_t since_ms = 0;
    std::string note;  // shown while its timer runs
    std::string status[status_slots];
};

Readout readout;

constexpr const char* dash = " \u2014 ";

void show_title(WindowHandle window)
{
    std::string title = "Modra";
    if (!readout.note.empty())
        title += dash + readout.note;
    else if (!(readout.status[0] + readout.status[1]).empty())
        title += dash + readout.status[0] + (readout.status[0].empty() || readout.status[1].empty() ? "" : ", ") +
                 readout.status[1];
    else if (readout.frame_rate && readout.have_rate)
        title += dash + std::to_string(readout.rate) + " fps";
    set_window_text(window, title.c_str());
}

void start_counting()
{
    readout.since_frames = static_cast<std::uint32_t>(cell_field.frame_count);
    readout.since_ms = tick_count();
}

}  // namespace

void toggle_frame_rate(WindowHandle window)
{
    readout.frame_rate = !readout.frame_rate;
    readout.have_rate = false;
    if (readout.frame_rate) {
        start_counting();
        set_timer(window, frame_rate_timer, 1000);
    } else {
        kill_timer(window, frame_rate_timer);
    }
    show_title(window);
}

void show_note(WindowHandle window, const std::string& note)
{
    readout.note = note;
    set_timer(window, note_timer, note_ms);
    show_title(window);
}

void show_status(WindowHandle window, StatusSlot slot, const std::string& status)
{
    readout.status[slot] = status;
    // What just began outranks an older note.
    if (!status.empty() && !readout.note.empty()) {
        kill_timer(window, note_timer);
        readout.note.clear();
    }
    show_title(window);
}

bool readout_timer(WindowHandle window, std::uintptr_t id)
{
    if (id == note_timer) {
        kill_timer(window, note_timer);
        readout.note.clear();
    } else if (id == frame_rate_timer && readout.frame_rate) {
        // Both counters wrap; their differences stay right.
        const std::uint32_t frames = static_cast<std::uint32_t>(cell_field.frame_count) - readout.since_frames;
        const std::uint32_t ms = tick_count() - readout.since_ms;
        if (ms > 0) {
            readout.rate = static_cast<std::uint32_t>((std::uint64_t{frames} * 1000 + ms / 2) / ms);
            readout.have_rate = true;
        }
        start_counting();
    } else {
        return false;
    }
    show_title(window);
    return true;
}
