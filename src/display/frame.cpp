#include "display/frame.h"

#include "display/display_window.h"
#include "sim/cell_field.h"
#include "sim/frozen.h"
#include "sim/rules.h"

void debug_trace(const char*) {}

void trace_failure(Status, const char* text)
{
    debug_trace(text);
    debug_trace("\n");
    debug_trace("\n");
}

void produce_frame(bool step)
{
    DrawSurface* back = back_surface(*display);
    LockedPixels locked;
    Status status = lock_surface(back, locked);
    while (status == status_surface_lost) {
        debug_trace("Restoring surface\n");
        status = restore_surface(back);
        if (status < 0)
            break;
        status = lock_surface(back, locked);
    }
    if (status < 0) {
        trace_failure(status, "Failed to Lock or Restore Surface");
        return;
    }
    if (step)
        step_field(sim_mode, locked.pixels, locked.pitch);
    else
        draw_frozen(locked.pixels, locked.pitch, locked.width, locked.height);
    status = unlock_surface(back);
    if (status < 0) {
        trace_failure(status, "Failed Unlock ");
        return;
    }
    present(*display);
    // The display is presented into the view: the view counts as painted.
    validate(display->window, nullptr);
}
