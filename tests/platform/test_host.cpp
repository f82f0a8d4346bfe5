#include "platform/portable/host.h"
#include "window_fixture.h"

TestHost& test_host()
{
    static TestHost host;
    return host;
}

void host_poll_events()
{
    if (test_host().on_poll)
        test_host().on_poll();
}

void host_queue_idle() {}
void host_set_cursor(Cursor cursor) { test_host().cursor = cursor; }

void host_top_level_placed(const char* title, const Rect& screen, bool visible)
{
    test_host().placements.push_back({title, screen, visible});
}

void host_framebuffer_changed(const Framebuffer&, const Rect& dirty) { test_host().changes.push_back(dirty); }
void host_message_box(const char*, const char*, bool) {}
void host_title_changed(const char*) {}
bool host_set_full_screen(bool) { return true; }
Rect host_screen_rect() { return {0, 0, 1920, 1080}; }
Rect host_work_area() { return {0, 0, 1280, 1024}; }
std::int32_t host_colour_depth() { return 32; }
