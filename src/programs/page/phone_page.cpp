#include "programs/page/phone_page.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "app/layout.h"
#include "iconbar/iconbar.h"
#include "platform/web/web_host.h"
#include "replay/replay.h"

namespace {

// A finger's target is 44 CSS pixels; the smallest thing it has to hit on
// the controls is a slider's arrow, 19 pixels across.
constexpr double finger_target = 44;
constexpr std::int32_t smallest_target = 19;
// A whole scale keeps the view's pixels alike, worth an empty tenth at most.
constexpr double whole_scale_fill = 0.9;
constexpr std::int32_t buttons = 4;
constexpr std::int32_t button_width = face_size + 1;  // its hot zone

// The page's room in device pixels.
struct Room {
    std::int32_t width = 0, height = 0;
    double ratio = 1;
    bool operator==(const Room&) const = default;
};

// Where the room puts the view and the controls, in device pixels.
struct Plan {
    bool upright = true;
    std::int32_t scale = 1;  // of the controls, device pixels a window pixel: crisp
    std::int32_t gap = 0;
    Rect view{};
    Rect controls{};  // as wide as the sliders the room wants
};

WindowHandle main_window = nullptr;
Room shown_room;
Plan shown_plan;  // shown_room's

Room page_room()
{
    Room r;
    r.ratio = EM_ASM_DOUBLE({ return window.devicePixelRatio || 1; });
    r.width = EM_ASM_INT({ return Math.round(document.documentElement.clientWidth * (window.devicePixelRatio || 1)); });
    r.height = EM_ASM_INT({ return Math.round(document.documentElement.clientHeight * (window.devicePixelRatio || 1)); });
    return r;
}

// The view's size in device pixels: at a whole scale where that fills nine
// tenths of the side it fills, else at the scale that fits.
std::pair<std::int32_t, std::int32_t> view_size(double fits, std::int32_t view_side, std::int32_t room_side)
{
    const double whole = std::floor(fits);
    const double s = whole >= 1 && whole * view_side >= whole_scale_fill * room_side ? whole : fits;
    return {static_cast<std::int32_t>(std::lround(640 * s)), static_cast<std::int32_t>(std::lround(480 * s))};
}

Plan plan_for(const Room& room)
{
    Plan p;
    p.upright = room.height >= room.width;
    const std::int32_t across = p.upright ? room.width : room.width / 2;
    p.scale = std::clamp(static_cast<std::int32_t>(std::ceil(finger_target * room.ratio / smallest_target)), 1,
                         std::max(1, across / phone_shortest_slider));
    p.gap = layout_gap * p.scale;
    const std::int32_t strip = bar_thickness * p.scale;
    if (p.upright) {
        // Under the view: the palette slider, the parameter slider, the buttons, a gap above each.
        const std::int32_t below = 3 * (p.gap + strip);
        const auto [width, height] = view_size(std::min(room.width / 640.0, (room.height - below) / 480.0), 640, room.width);
        const std::int32_t top = std::max(0, (room.height - height - below) / 2);
        p.view = {(room.width - width) / 2, top, (room.width - width) / 2 + width, top + height};
        const std::int32_t length = std::max(room.width / p.scale, phone_shortest_slider) * p.scale;
        const std::int32_t left = (room.width - length) / 2;
        p.controls = {left, p.view.bottom + p.gap, left + length, p.view.bottom + below};
    } else {
        // Beside the view, a gap either side of them.
        const std::int32_t least = 2 * p.gap + phone_shortest_slider * p.scale;
        const auto [width, height] = view_size(std::min(room.height / 480.0, (room.width - least) / 640.0), 480, room.height);
        const std::int32_t length =
            std::max((room.width - width - 2 * p.gap) / p.scale, phone_shortest_slider) * p.scale;
        const std::int32_t left = std::max(0, (room.width - width - p.gap - length) / 2);
        const std::int32_t top = (room.height - height) / 2;
        p.view = {left, top, left + width, top + height};
        const std::int32_t tall = 3 * strip + 2 * p.gap;
        const std::int32_t column = p.view.right + p.gap, column_top = std::max(0, (room.height - tall) / 2);
        p.controls = {column, column_top, column + length, column_top + tall};
    }
    return p;
}

std::int32_t main_client_width()
{
    const Rect client = client_rect(main_window);
    return rect_width(client);
}

// The parts for a client `width` wide, which a replay being played may have
// made other than the room wants: its sliders then as large as fit.
void show(std::int32_t width)
{
    const Room& room = shown_room;
    const Plan& p = shown_plan;
    LayoutCell cells[4];
    phone_cells(width, cells);
    const std::int32_t length = cells[1].width, room_for = rect_width(p.controls);
    const std::int32_t scale = std::clamp(room_for / length, 1, p.scale);
    const std::int32_t strip = bar_thickness * scale, gap = layout_gap * scale, along = length * scale;
    const std::int32_t left = p.controls.left + (room_for - along) / 2;
    const auto from = [](const LayoutCell& c, std::int32_t x, std::int32_t w) {
        return Rect{c.x + x, c.y, c.x + x + w, c.y + c.height};
    };
    std::array<WebPart, 3 + buttons> parts{};
    parts[0] = {from(cells[0], 0, cells[0].width), p.view};
    std::int32_t y = p.controls.top;
    for (int i = 0; i < 2; ++i, y += strip + gap)
        parts[1 + i] = {from(cells[2 - i], 0, length), {left, y, left + along, y + strip}};
    // The buttons alone, each in a quarter of the sliders' length: the bar's
    // margins and gaps are black anyway.
    for (int i = 0; i < buttons; ++i) {
        const std::int32_t x = left + along * i / buttons + (along / buttons - button_width * scale) / 2;
        parts[3 + i] = {from(cells[3], first_button_x + button_pitch * i, button_width),
                        {x, y, x + button_width * scale, y + strip}};
    }
    web_host_show_parts(room.width, room.height, parts);
}

void resize_client(std::int32_t width)
{
    const Rect outer = adjust_window_rect({0, 0, width, phone_client_height});
    set_window_pos(main_window, 0, 0, rect_width(outer), rect_height(outer), true, false);
}

}  // namespace

void phone_page_start(WindowHandle window)
{
    main_window = window;
    shown_room = {};
    phone_page_follow();
}

void phone_page_follow()
{
    if (!main_window)
        return;
    const Room room = page_room();
    if (room == shown_room || room.width <= 0 || room.height <= 0)
        return;
    shown_room = room;
    shown_plan = plan_for(room);
    const std::int32_t width = phone_sliders_left + rect_width(shown_plan.controls) / shown_plan.scale;
    // A replay being played keeps the sizes it was made at. A resize shows
    // the parts through phone_page_sized.
    if (!replay_playing() && width != main_client_width())
        resize_client(width);
    else
        show(main_client_width());
}

void phone_page_sized(std::int32_t width)
{
    if (main_window && shown_room.width > 0)
        show(width);
}
