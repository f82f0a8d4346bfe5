#include "platform/headless/script_input.h"

#include <algorithm>
#include <deque>

#include "platform/headless/virtual_clock.h"
#include "platform/portable/events.h"

namespace {

enum class Kind { pointer, resize, close };

struct ScriptEvent {
    std::int64_t at_us = 0;
    Kind kind = Kind::pointer;
    std::uint32_t message = 0;
    Point point{};  // for a resize: width and height
    std::uintptr_t buttons = 0;
};

std::deque<ScriptEvent> script;  // sorted by time, stable

void queue(const ScriptEvent& event)
{
    // After every event at the same time, so same-time events keep their order.
    auto at = std::upper_bound(script.begin(), script.end(), event.at_us,
                               [](std::int64_t t, const ScriptEvent& e) { return t < e.at_us; });
    script.insert(at, event);
}

}  // namespace

void script_pointer(std::int64_t at_us, std::uint32_t message, Point point, std::uintptr_t buttons)
{
    queue({at_us, Kind::pointer, message, point, buttons});
}

void script_resize(std::int64_t at_us, std::int32_t width, std::int32_t height)
{
    queue({at_us, Kind::resize, 0, {width, height}, 0});
}

void script_close(std::int64_t at_us) { queue({at_us, Kind::close, 0, {}, 0}); }

std::size_t script_pending() { return script.size(); }

void clear_script() { script.clear(); }

void deliver_due_script_input()
{
    const std::int64_t now = virtual_clock_now();
    // Injecting may run window procedures that queue more; take one at a time.
    while (!script.empty() && script.front().at_us <= now) {
        const ScriptEvent e = script.front();
        script.pop_front();
        switch (e.kind) {
        case Kind::pointer: inject_pointer(e.message, e.point, e.buttons); break;
        case Kind::resize: inject_resize(e.point.x, e.point.y); break;
        case Kind::close: inject_close(); break;
        }
    }
}
