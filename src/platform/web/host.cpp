// Web host for the portable window system: the toy on a page, in a <canvas>.
// Implemented:
//  - the top-level window is the page's canvas, as many pixels as its client
//    area; the page centres it and shows each pixel as a zoom x zoom square
//    of screen (device) pixels, crisp (image-rendering: pixelated)
//  - zoom: the largest that shows the whole window in the page, chosen at
//    start and again whenever the page changes size; the zoom keys change it
//    until then
//  - pointer events (mouse, touch and pen alike: a finger or a pen tip is
//    the left button), left and right presses and releases and motion, in
//    screen pixels of the client area; the pointer is captured while a
//    button is down, so a drag that leaves the canvas keeps arriving. A
//    second finger down turns the first one's press into a right drag from
//    the midpoint of the two, which the two then move; it ends when either
//    is lifted, and nothing more comes until both are
//  - or the window in parts (web_host_show_parts): the canvas the page's
//    room, each part drawn from the window's pixels at its own scale, to
//    the nearest pixel; the pointer taken back through the part under it,
//    or through the part its press began on, beyond it too
//  - keys, as Windows' virtual keys, the same set as the SDL host's, with
//    the browser's own repeat; the toy's keys do not reach the browser (its
//    zoom, its find), keys with Ctrl other than the zoom keys do. Keys held
//    when the page loses the focus are let go
//  - the framebuffer shown through the canvas's 2D context (putImageData of
//    the dirty rectangle); while the program holds the presents back (frames
//    run faster than a page can show them), the dirty rectangles gather and
//    go as one when it lets go
//  - full screen through the Fullscreen API, on the page's whole screen;
//    leaving it by the browser's own means (Esc) leaves it in the toy too
//  - message boxes as a modal dialog on the page with their title and text;
//    the title as the page's title, and what it says beyond the name in a
//    line on the page, where a refusal to listen can be read
//  - a file dropped on the page, or chosen in the browser's dialog
//    (web_choose_sound_file), kept for the sound input as
//    Module.modraSoundFile and given to the window as wm_dropfiles; the
//    sound input's blocks handed to the listener between passes
//  - the arrow and cross-hair cursors, as the window classes ask
//  - with ?embed in the address the page shows only the view, scaled to fill
//    its frame (the pointer is mapped back through that scale)
//  - the program may leave the pointer out (a wallpaper whose clicks should
//    not drop): its presses and moves are let go, its releases still come
// Limitations:
//  - a page cannot block: message boxes return at once and the dialog stays
//    until dismissed; the main loop runs one pass per animation frame
//    (app/main_loop.h), so a hidden page produces no frames and, shown again
//    within a second, makes up the ones it missed, as a stalled desktop loop
//    does (the program may pause the loop itself instead)
//  - the user cannot resize or move the window: the page sizes it. A page
//    smaller than the window at zoom 1 shows part of it, with scroll bars
//  - S downloads the picture as a PNG (the browser's encoder) instead of
//    writing it to a pictures folder; R records the view with the browser's
//    MediaRecorder (MP4 or WebM, the browser's lossy codecs) where it
//    exists, and Shift+R makes no GIF (capture/toy_recording_web.cpp)
#include "platform/web/web_host.h"
#include "platform/web/web_sound_input.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/portable/events.h"
#include "platform/portable/host.h"
#include "platform/portable/rects.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace {

// What the page reported since the last poll, delivered in order then.
enum class PageEvent { pointer, key, page_resized, full_screen_left, focus_lost, file_given };

struct QueuedEvent {
    PageEvent kind;
    std::uint32_t message = 0;
    std::int32_t x = 0, y = 0;
    std::uintptr_t buttons_or_key = 0;
    bool down = false;
};

struct WebHost {
    WebHostSetup setup;
    bool started = false;
    bool placed = false;
    bool pointer = true;
    std::vector<QueuedEvent> queue;
    std::vector<std::uint32_t> rgba;  // a dirty rectangle as the canvas takes it
    std::vector<std::uintptr_t> held;
    bool presents_held = false;
    Rect unshown{};  // gathered while the presents are held
};

WebHost host;

// clang-format off
EM_JS(void, page_start, (), {
    const canvas = document.getElementById("modra");
    canvas.addEventListener("contextmenu", (e) => e.preventDefault());
    // Nor the browser's own touch handling (its long-press callout, its magnifier).
    canvas.addEventListener("touchstart", (e) => e.preventDefault(), { passive: false });
    // Where the window's pixels go: the canvas, or one of their own while the page shows parts of them.
    Module.modraBack = canvas;
    // Each [from left, top, right, bottom, to left, top, right, bottom].
    Module.modraParts = [];
    // Screen pixels of the client area, whatever scale the page shows it at.
    const at = (x, y) => {
        const r = canvas.getBoundingClientRect();
        const scale = canvas.width * Module.modraZoom / r.width;
        return [Math.floor((x - r.left) * scale), Math.floor((y - r.top) * scale)];
    };
    const device = (x, y) => {
        const r = canvas.getBoundingClientRect();
        return [(x - r.left) * canvas.width / r.width, (y - r.top) * canvas.height / r.height];
    };
    const partAt = (x, y) => {
        const [u, v] = device(x, y);
        return Module.modraParts.find((p) => u >= p[4] && u < p[6] && v >= p[5] && v < p[7]) || null;
    };
    // The window's point under (x, y), through `part` where a press holds to one; null where no part is.
    const where = (x, y, part) => {
        if (!Module.modraParts.length) return at(x, y);
        const p = part || partAt(x, y);
        if (!p) return null;
        const [u, v] = device(x, y);
        return [(p[0] + Math.floor((u - p[4]) * (p[2] - p[0]) / (p[6] - p[4]))) * Module.modraZoom,
                (p[1] + Math.floor((v - p[5]) * (p[3] - p[1]) / (p[7] - p[5]))) * Module.modraZoom];
    };
    const send = (message, point, buttons) => { if (point) _web_pointer(message, point[0], point[1], buttons); };
    const buttons = (e) => (e.buttons & 1 ? 1 : 0) | (e.buttons & 2 ? 2 : 0);

    const fingers = new Map();
    let gesture = null;  // {part, first, second, right, over}
    const fingerPoint = () => {
        const a = fingers.get(gesture.first), b = gesture.right ? fingers.get(gesture.second) : a;
        return where((a[0] + b[0]) / 2, (a[1] + b[1]) / 2, gesture.part);
    };
    const finger = (e) => {
        const id = e.pointerId;
        if (e.type === "pointerdown") {
            fingers.set(id, [e.clientX, e.clientY]);
            if (fingers.size === 1) {
                const part = Module.modraParts.length ? partAt(e.clientX, e.clientY) : null;
                gesture = { part, first: id, right: false, over: Module.modraParts.length > 0 && !part };
                if (!gesture.over) send(0x201, fingerPoint(), 1);
            } else if (fingers.size === 2 && !gesture.over && !gesture.right) {
                send(0x202, fingerPoint(), 0);
                gesture.second = id;
                gesture.right = true;
                send(0x204, fingerPoint(), 2);
            }
            return;
        }
        if (!fingers.has(id)) return;
        const mine = !gesture.over && (id === gesture.first || (gesture.right && id === gesture.second));
        if (e.type === "pointermove") {
            fingers.set(id, [e.clientX, e.clientY]);
            if (mine) send(0x200, fingerPoint(), gesture.right ? 2 : 1);
            return;
        }
        if (mine) {
            send(gesture.right ? 0x205 : 0x202, fingerPoint(), 0);
            gesture.over = true;
        }
        fingers.delete(id);
        if (!fingers.size) gesture = null;
    };

    // The part a mouse's press began on; or none, and then nothing until its buttons are up.
    let held = null, missed = false;
    canvas.addEventListener("pointerdown", (e) => {
        if (e.pointerType === "touch") {
            e.preventDefault();
            return finger(e);
        }
        if (e.button !== 0 && e.button !== 2) return;
        if (Module.modraParts.length && !(held = held || partAt(e.clientX, e.clientY))) {
            missed = true;
            return;
        }
        canvas.setPointerCapture(e.pointerId);
        send(e.button === 0 ? 0x201 : 0x204, where(e.clientX, e.clientY, held), buttons(e));
        e.preventDefault();
    });
    canvas.addEventListener("pointerup", (e) => {
        if (e.pointerType === "touch") return finger(e);
        if (e.button !== 0 && e.button !== 2) return;
        if (!missed) send(e.button === 0 ? 0x202 : 0x205, where(e.clientX, e.clientY, held), buttons(e));
        if (!e.buttons) {
            held = null;
            missed = false;
        }
    });
    canvas.addEventListener("pointercancel", (e) => {
        if (e.pointerType === "touch") return finger(e);
        if (!missed) send(0x202, where(e.clientX, e.clientY, held), 0);
        held = null;
        missed = false;
    });
    canvas.addEventListener("pointermove", (e) => {
        if (e.pointerType === "touch") return finger(e);
        if (!missed) send(0x200, where(e.clientX, e.clientY, held), buttons(e));
    });
    Module.modraShowParts = (left, top, right, bottom) => {
        const g = canvas.getContext("2d");
        g.imageSmoothingEnabled = false;
        for (const p of Module.modraParts)
            if (p[0] < right && left < p[2] && p[1] < bottom && top < p[3])
                g.drawImage(Module.modraBack, p[0], p[1], p[2] - p[0], p[3] - p[1], p[4], p[5], p[6] - p[4], p[7] - p[5]);
    };
    Module.modraZoom = 1;
    Module.modraGiveFile = (file) => {
        if (!file) return;
        Module.modraSoundFile = file;
        _web_file_given();
    };
    // Without this the browser would leave the page to show the file.
    const files = (e) => e.dataTransfer && Array.from(e.dataTransfer.types).includes("Files");
    window.addEventListener("dragover", (e) => {
        if (!files(e)) return;
        e.preventDefault();
        e.dataTransfer.dropEffect = "copy";
    });
    window.addEventListener("drop", (e) => {
        if (!files(e)) return;
        e.preventDefault();
        Module.modraGiveFile(e.dataTransfer.files[0]);
    });
});

EM_JS(void, page_choose_file, (), {
    let chooser = Module.modraChooser;
    if (!chooser) {
        chooser = Module.modraChooser = document.createElement("input");
        chooser.type = "file";
        chooser.accept = "audio/*";
        chooser.hidden = true;
        chooser.addEventListener("change", () => Module.modraGiveFile(chooser.files[0]));
        document.body.appendChild(chooser);
    }
    chooser.value = "";  // the same file chosen again is news too
    chooser.click();
});

EM_JS(void, page_place, (int width, int height, int zoom), {
    const canvas = Module.modraBack;
    if (canvas.width !== width || canvas.height !== height) {
        canvas.width = width;
        canvas.height = height;
    }
    Module.modraZoom = zoom;
    if (!Module.modraParts.length) Module.modraPlaced(width, height, zoom);
});

EM_JS(void, page_put, (const void* pixels, int left, int top, int width, int height), {
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    Module.modraBack.getContext("2d").putImageData(new ImageData(bytes, width, height), left, top);
    if (Module.modraParts.length) Module.modraShowParts(left, top, left + width, top + height);
});

EM_JS(void, page_parts, (int width, int height, const std::int32_t* parts, int count), {
    const canvas = document.getElementById("modra");
    if (Module.modraBack === canvas) {
        const back = Module.modraBack = document.createElement("canvas");
        back.width = canvas.width;
        back.height = canvas.height;
        back.getContext("2d").drawImage(canvas, 0, 0);
    }
    if (canvas.width !== width || canvas.height !== height) {
        canvas.width = width;
        canvas.height = height;
    }
    const ratio = window.devicePixelRatio || 1;
    canvas.style.width = width / ratio + "px";
    canvas.style.height = height / ratio + "px";
    Module.modraParts = Array.from({ length: count }, (_, i) => Array.from(HEAP32.subarray(parts / 4 + 8 * i, parts / 4 + 8 * i + 8)));
    const g = canvas.getContext("2d");
    g.fillStyle = "#000";
    g.fillRect(0, 0, width, height);
    Module.modraShowParts(0, 0, 0x7FFFFFFF, 0x7FFFFFFF);
});

EM_JS(void, page_title, (const char* title), { Module.modraTitle(UTF8ToString(title)); });

EM_JS(void, page_message, (const char* text, const char* title, bool information), {
    Module.modraMessage(UTF8ToString(text), UTF8ToString(title), information);
});

EM_JS(void, page_cursor, (bool cross), {
    document.getElementById("modra").style.cursor = cross ? "crosshair" : "default";
});

EM_JS(bool, page_full_screen, (bool on), {
    const page = document.documentElement;
    if (!on) {
        if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
        return true;
    }
    if (!page.requestFullscreen || !document.fullscreenEnabled) return false;
    page.requestFullscreen().catch(() => {});
    return true;
});

// The page's room, or in full screen the screen's, in device pixels.
EM_JS(int, page_room, (bool screen, bool height), {
    const ratio = window.devicePixelRatio || 1;
    const css = screen ? (height ? window.screen.height : window.screen.width)
                       : (height ? document.documentElement.clientHeight : document.documentElement.clientWidth);
    return Math.floor(css * ratio);
});
// clang-format on

// The largest zoom at which the whole window fits the page.
std::int32_t fitting_zoom()
{
    const std::int32_t width = page_room(false, false), height = page_room(false, true);
    std::int32_t z = max_zoom;
    while (z > 1 && (host.setup.window_width * z > width || host.setup.window_height * z > height))
        --z;
    return z;
}

// Windows' virtual key for a DOM key; 0 for keys the toy has no use for.
std::uintptr_t virtual_key(const EmscriptenKeyboardEvent& e)
{
    const bool keypad = e.location == DOM_KEY_LOCATION_NUMPAD;
    if (std::strlen(e.key) == 1) {
        const char c = e.key[0];
        if (c >= 'a' && c <= 'z')
            return static_cast<std::uintptr_t>(c - 'a' + 'A');
        if (c >= 'A' && c <= 'Z')
            return static_cast<std::uintptr_t>(c);
        if (c >= '0' && c <= '9')
            return keypad && c == '0' ? vk_numpad0 : static_cast<std::uintptr_t>(c);
        switch (c) {
        case ' ': return vk_space;
        case '=':
        case '+': return keypad ? vk_add : vk_oem_plus;
        case '-': return keypad ? vk_subtract : vk_oem_minus;
        default: return 0;
        }
    }
    if (e.key[0] == 'F' && e.key[1] >= '1' && e.key[1] <= '9') {
        const int n = std::atoi(e.key + 1);
        return n >= 1 && n <= 12 ? vk_f1 + static_cast<std::uintptr_t>(n - 1) : 0;
    }
    struct Named {
        const char* name;
        std::uintptr_t key;
    };
    static constexpr Named named[] = {{"Enter", vk_return}, {"Escape", vk_escape},   {"ArrowLeft", vk_left},
                                      {"ArrowUp", vk_up},   {"ArrowRight", vk_right}, {"ArrowDown", vk_down},
                                      {"Shift", vk_shift},  {"Control", vk_control},  {"Alt", vk_menu}};
    for (const Named& n : named)
        if (std::strcmp(e.key, n.name) == 0)
            return n.key;
    return 0;
}

// The browser keeps what the toy does not use: its keys with Ctrl (but the
// ones the program names), F12 and F5.
bool toy_keeps(std::uintptr_t key, const EmscriptenKeyboardEvent& e)
{
    if (e.metaKey)
        return false;
    if (e.ctrlKey)
        return key == vk_control ||
               std::find(host.setup.ctrl_keys.begin(), host.setup.ctrl_keys.end(), key) != host.setup.ctrl_keys.end();
    return key != vk_f1 + 11 && key != vk_f1 + 4;
}

EM_BOOL key_event(int type, const EmscriptenKeyboardEvent* e, void*)
{
    const std::uintptr_t key = virtual_key(*e);
    if (key == 0)
        return false;
    QueuedEvent q{PageEvent::key};
    q.buttons_or_key = key;
    q.down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    host.queue.push_back(q);
    return toy_keeps(key, *e);
}

EM_BOOL resize_event(int, const EmscriptenUiEvent*, void*)
{
    host.queue.push_back({PageEvent::page_resized});
    return false;
}

EM_BOOL full_screen_event(int, const EmscriptenFullscreenChangeEvent* e, void*)
{
    if (!e->isFullscreen)
        host.queue.push_back({PageEvent::full_screen_left});
    return false;
}

EM_BOOL blur_event(int, const EmscriptenFocusEvent*, void*)
{
    host.queue.push_back({PageEvent::focus_lost});
    return false;
}

void deliver(const QueuedEvent& e)
{
    switch (e.kind) {
    case PageEvent::pointer: inject_pointer(e.message, {e.x, e.y}, e.buttons_or_key); break;
    case PageEvent::key:
        if (e.down && std::find(host.held.begin(), host.held.end(), e.buttons_or_key) == host.held.end())
            host.held.push_back(e.buttons_or_key);
        if (!e.down)
            host.held.erase(std::remove(host.held.begin(), host.held.end(), e.buttons_or_key), host.held.end());
        inject_key(e.buttons_or_key, e.down);
        break;
    case PageEvent::page_resized:
        if (host.setup.in_parts) {
            if (host.setup.page_resized)
                host.setup.page_resized();
        } else if (!full_screen()) {
            set_zoom(fitting_zoom());
        }
        break;
    case PageEvent::full_screen_left:
        if (full_screen())
            set_full_screen(false, 1);
        break;
    case PageEvent::file_given: inject_file_given(); break;
    case PageEvent::focus_lost: {
        const std::vector<std::uintptr_t> held = host.held;
        host.held.clear();
        for (const std::uintptr_t key : held)
            inject_key(key, false);
        break;
    }
    }
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void web_pointer(std::uint32_t message, std::int32_t x, std::int32_t y,
                                                 std::uint32_t buttons)
{
    if (!host.pointer && message != wm_lbuttonup && message != wm_rbuttonup)
        return;
    QueuedEvent q{PageEvent::pointer, message, x, y};
    q.buttons_or_key = ((buttons & 1) ? mk_lbutton : 0) | ((buttons & 2) ? mk_rbutton : 0);
    host.queue.push_back(q);
}

extern "C" EMSCRIPTEN_KEEPALIVE void web_file_given() { host.queue.push_back({PageEvent::file_given}); }

void web_host_start(const WebHostSetup& setup)
{
    host = WebHost{};
    host.setup = setup;
    host.started = true;
    page_start();
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, true, key_event);
    emscripten_set_keyup_callback(window, nullptr, true, key_event);
    emscripten_set_resize_callback(window, nullptr, true, resize_event);
    emscripten_set_blur_callback(window, nullptr, true, blur_event);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, true, full_screen_event);
}

void host_poll_events()
{
    // Taken out first: what a delivery makes the page report waits its turn.
    std::vector<QueuedEvent> events;
    events.swap(host.queue);
    for (const QueuedEvent& e : events)
        deliver(e);
    web_sound_input_poll();
}

void web_host_take_pointer(bool on) { host.pointer = on; }

void web_choose_sound_file()
{
    if (host.started)
        page_choose_file();
}

// The web host has nothing to do between frames.
void host_queue_idle() {}

void host_set_cursor(Cursor cursor)
{
    if (host.started)
        page_cursor(cursor == Cursor::cross);
}

void host_top_level_placed(const char* title, const Rect& screen, bool)
{
    if (!host.started)
        return;
    page_title(title ? title : "");
    if (!host.placed) {
        host.placed = true;
        if (!host.setup.in_parts)
            set_zoom(fitting_zoom());
    }
    page_place(std::max(rect_width(screen), 1), std::max(rect_height(screen), 1), zoom());
    // Resized, the canvas the parts are drawn from is blank, and only what
    // changes is painted again.
    if (host.setup.in_parts)
        host_framebuffer_changed(top_level_framebuffer(), {0, 0, rect_width(screen), rect_height(screen)});
}

void web_host_show_parts(std::int32_t width, std::int32_t height, std::span<const WebPart> parts)
{
    static_assert(sizeof(WebPart) == 8 * sizeof(std::int32_t));
    if (host.started)
        page_parts(width, height, parts.empty() ? nullptr : &parts.front().from.left, static_cast<int>(parts.size()));
}

void web_host_hold_presents(bool on)
{
    host.presents_held = on;
    if (!on && !rect_empty(host.unshown)) {
        const Rect unshown = host.unshown;
        host.unshown = {};
        host_framebuffer_changed(top_level_framebuffer(), unshown);
    }
}

void host_framebuffer_changed(const Framebuffer& fb, const Rect& dirty)
{
    if (!host.started || !fb.pixels)
        return;
    if (host.presents_held) {
        host.unshown = rect_union(host.unshown, dirty);
        return;
    }
    const Rect r{std::max(dirty.left, 0), std::max(dirty.top, 0), std::min(dirty.right, fb.width),
                 std::min(dirty.bottom, fb.height)};
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    const std::int32_t width = rect_width(r), height = rect_height(r);
    host.rgba.resize(std::size_t{1} * width * height);
    std::uint32_t* out = host.rgba.data();
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        const std::uint32_t* __restrict row = fb.pixels + std::ptrdiff_t{y} * (fb.pitch / 4) + r.left;
        std::uint32_t* __restrict to = out;
        // 0x00RRGGBB to the bytes R, G, B, 255 of a little-endian word; a
        // loop the compiler turns into vector shuffles.
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t p = row[x];
            to[x] = ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16) | 0xFF000000u;
        }
        out += width;
    }
    page_put(host.rgba.data(), r.left, r.top, width, height);
}

void host_message_box(const char* text, const char* title, bool information)
{
    page_message(text ? text : "", title ? title : "", information);
}

void host_title_changed(const char* title)
{
    if (host.started)
        page_title(title ? title : "");
}

bool host_set_full_screen(bool on) { return host.started && page_full_screen(on); }

Rect host_screen_rect()
{
    if (!host.started)
        return {0, 0, 1024, 768};
    return {0, 0, page_room(true, false), page_room(true, true)};
}

Rect host_work_area()
{
    if (!host.started)
        return {0, 0, 1024, 768};
    return {0, 0, page_room(false, false), page_room(false, true)};
}

std::int32_t host_colour_depth() { return 32; }
