#include "replay/replay.h"

#include "app/layout.h"
#include "app/view_window.h"
#include "iconbar/iconbar.h"
#include "platform/screen.h"
#include "sim/cell_field.h"
#include "sim/random.h"
#include "slider/slider.h"

namespace {

struct Replaying {
    WindowHandle main = nullptr;
    Replay kept;             // the session so far
    bool keeping = false;
    bool too_long = false;
    bool in_frame = false;   // between replay_before_frame and replay_frame_done
    Rect size_kept{};
    std::int32_t zoom_kept = 1;

    Replay played;           // what plays back
    bool armed = false;      // to play from the next start
    bool playing = false;
    bool started = false;    // its header is applied
    std::size_t next = 0;    // its next record
    std::int64_t hold_at = -1;  // the frame it stops at, or -1 for none
};

Replaying r;

WindowHandle window_of(std::int32_t id)
{
    switch (id) {
    case -1: return r.main;
    case 0:
    case 1: return slider_count > id ? sliders[id].handle : nullptr;
    case 2: return view_window;
    case 3: return iconbars[0].window;
    default: return nullptr;
    }
}

// The toy's windows and their child ids; null for any other.
bool id_of(WindowHandle window, std::int32_t& id)
{
    for (id = -1; id <= 3; ++id)
        if (window && window == window_of(id))
            return true;
    return false;
}

void keep(ReplayRecord record)
{
    if (!r.keeping)
        return;
    record.frame = cell_field.frame_count;
    if (record.frame > longest_replay_frames || r.kept.records.size() >= most_replay_records) {
        r.keeping = false;
        r.too_long = true;
        r.kept.records.clear();
        return;
    }
    r.kept.records.push_back(record);
}

void keep_size_and_zoom()
{
    if (!r.main)
        return;
    const Rect client = client_rect(r.main);
    if (rect_width(client) != rect_width(r.size_kept) || rect_height(client) != rect_height(r.size_kept)) {
        r.size_kept = client;
        ReplayRecord s{ReplayRecord::size};
        s.x = rect_width(client);
        s.y = rect_height(client);
        keep(s);
    }
    if (zoom() != r.zoom_kept) {
        r.zoom_kept = zoom();
        ReplayRecord z{ReplayRecord::zoom};
        z.x = r.zoom_kept;
        keep(z);
    }
}

constexpr std::uint32_t pointer_messages[] = {wm_mousemove, wm_lbuttondown, wm_lbuttonup, wm_rbuttondown, wm_rbuttonup};

void resize_main(std::int32_t width, std::int32_t height)
{
    const Rect outer = adjust_window_rect({0, 0, width, height});
    set_window_pos(r.main, 0, 0, rect_width(outer), rect_height(outer), true, false);
}

// One record, done as it was done, and kept again (the keys' work is kept
// by their own hook).
void deliver(const ReplayRecord& record)
{
    if (record.kind != ReplayRecord::icon && record.kind != ReplayRecord::slider_down &&
        record.kind != ReplayRecord::slider_up && record.kind != ReplayRecord::end)
        keep(record);
    switch (record.kind) {
    case ReplayRecord::pointer:
        if (WindowHandle w = window_of(record.window))
            dispatch_message({w, pointer_messages[record.code], record.buttons, make_point_lparam(record.x, record.y)});
        break;
    case ReplayRecord::timer:
        if (WindowHandle w = window_of(record.window))
            dispatch_message({w, wm_timer, static_cast<std::uintptr_t>(record.x), 0});
        break;
    case ReplayRecord::size:
        resize_main(record.x, record.y);
        r.size_kept = client_rect(r.main);
        break;
    case ReplayRecord::zoom:
        set_zoom(record.x);
        r.zoom_kept = zoom();
        break;
    case ReplayRecord::icon: work_toy_key(ToyKeyWork::icon, static_cast<std::uintptr_t>(record.x), false); break;
    case ReplayRecord::slider_down:
        work_toy_key(ToyKeyWork::slider_down, static_cast<std::uintptr_t>(record.x), record.repeat);
        break;
    case ReplayRecord::slider_up: work_toy_key(ToyKeyWork::slider_up, static_cast<std::uintptr_t>(record.x), false); break;
    case ReplayRecord::act: apply_hand_action({static_cast<HandAction::Kind>(record.code), record.x, record.y}); break;
    case ReplayRecord::end: break;
    }
}

// The session's start, just before its first frame, when start-up is done:
// the random source's state, the window's size and zoom. A replay played
// back sets them so first.
void start_session()
{
    r.started = true;
    if (r.playing) {
        seed_random(r.played.seed);
        if (rect_width(client_rect(r.main)) != r.played.width || rect_height(client_rect(r.main)) != r.played.height)
            resize_main(r.played.width, r.played.height);
        set_zoom(r.played.zoom);
    }
    r.kept.seed = random_state();
    r.size_kept = client_rect(r.main);
    r.zoom_kept = zoom();
    r.kept.width = rect_width(r.size_kept);
    r.kept.height = rect_height(r.size_kept);
    r.kept.zoom = r.zoom_kept;
    r.kept.phone = phone_layout;
}

// The user's hand: a press or a key, not a pointer merely passing by.
bool is_input(std::uint32_t message)
{
    return message == wm_lbuttondown || message == wm_rbuttondown || message == wm_keydown ||
           message == wm_syskeydown;
}

}  // namespace

bool kept_replay(std::string& text, std::string& error)
{
    if (r.too_long || !r.started) {
        error = "the session is too long to keep";
        return false;
    }
    Replay whole = r.kept;
    ReplayRecord end{ReplayRecord::end};
    end.frame = cell_field.frame_count;
    whole.records.push_back(end);
    text = replay_text(whole);
    return true;
}

void play_replay(const Replay& replay, std::int64_t hold_at)
{
    r.played = replay;
    r.hold_at = hold_at;
    r.armed = true;
    // Its windows are laid out as they were from their creation on.
    phone_layout = replay.phone;
}

bool replay_playing() { return r.playing; }

bool replay_held() { return r.playing && r.hold_at >= 0 && cell_field.frame_count >= r.hold_at; }

std::int64_t replay_length() { return r.played.records.empty() ? 0 : r.played.records.back().frame; }

bool replay_message(WindowHandle window, std::uint32_t message, std::uintptr_t, std::intptr_t)
{
    if (message == wm_create && !r.main) {
        r.main = window;
        r.kept = Replay{};
        r.keeping = true;
        r.too_long = false;
        r.playing = r.armed;
        r.armed = false;
        r.started = false;
        r.next = 0;
    } else if (message == wm_destroy && window == r.main) {
        // The session is over; what was kept stays to be written.
        r.main = nullptr;
        r.keeping = r.playing = false;
    }
    return false;
}

bool replay_loop_message(const Message& m)
{
    std::int32_t id = -1;
    if (!id_of(m.window, id))
        return false;
    if (r.playing && is_input(m.message)) {
        r.playing = false;  // the user takes over, from here
    } else if (r.playing && ((m.message == wm_timer && id >= 0) || m.message == wm_mousemove ||
                             m.message == wm_lbuttonup || m.message == wm_rbuttonup)) {
        // The controls' timers fire as the replay says, and a pointer merely
        // passing by must not steer a drag being played.
        return true;
    }
    if (m.message == wm_timer && id >= 0) {
        ReplayRecord t{ReplayRecord::timer};
        t.window = id;
        t.x = static_cast<std::int32_t>(m.wparam);
        keep(t);
        return false;
    }
    for (std::int32_t code = 0; code < 5; ++code)
        if (m.message == pointer_messages[code]) {
            ReplayRecord p{ReplayRecord::pointer};
            p.window = id;
            p.code = code;
            const Point at = point_from_lparam(m.lparam);
            p.x = at.x;
            p.y = at.y;
            p.buttons = static_cast<std::uint32_t>(m.wparam & (mk_lbutton | mk_rbutton));
            keep(p);
        }
    return false;
}

bool replay_due_input()
{
    if (!r.main)
        return false;
    if (!r.started)
        start_session();
    if (!r.playing) {
        keep_size_and_zoom();
        return false;
    }
    bool delivered = false;
    while (r.next < r.played.records.size()) {
        const ReplayRecord& record = r.played.records[r.next];
        if (record.frame > cell_field.frame_count || (record.kind == ReplayRecord::act && record.before_frame))
            break;
        ++r.next;
        deliver(record);
        delivered = true;
    }
    if (r.next == r.played.records.size())
        r.playing = false;  // played to its end: live from here
    return delivered;
}

void replay_hand_acted(const HandAction& action)
{
    ReplayRecord a{ReplayRecord::act};
    a.code = action.kind;
    a.x = action.a;
    a.y = action.b;
    a.before_frame = r.in_frame;
    keep(a);
}

void replay_key_worked(ToyKeyWork work, std::uintptr_t value, bool repeat)
{
    ReplayRecord k{work == ToyKeyWork::icon          ? ReplayRecord::icon
                   : work == ToyKeyWork::slider_down ? ReplayRecord::slider_down
                                                     : ReplayRecord::slider_up};
    k.x = static_cast<std::int32_t>(value);
    k.repeat = repeat;
    keep(k);
}

bool replay_before_frame()
{
    r.in_frame = true;
    if (!r.playing)
        return false;
    while (r.next < r.played.records.size()) {
        const ReplayRecord& record = r.played.records[r.next];
        if (record.frame > cell_field.frame_count || record.kind != ReplayRecord::act || !record.before_frame)
            break;
        ++r.next;
        deliver(record);
    }
    return true;
}

void replay_frame_done() { r.in_frame = false; }
