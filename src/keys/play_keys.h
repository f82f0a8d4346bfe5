// The toy's keys. Each acts as the control it stands for, through the same
// operation a click on that control runs, so the control shows it:
//   Space        the pause button          D / W   the rule buttons
//   T            the picture button        Up / Down, Left / Right  the sliders' arrows
//   F            the frame rate in the title                    F1   the list of keys
//   F11, Alt+Enter  full screen on and off; Esc leaves it
//   Ctrl + Plus / Minus / 0   zoom in, out, back to 1
// and the keys of the extras a program offers (keeping the picture,
// recording it, attract mode), which the program names.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/geometry.h"
#include "platform/window.h"

// A key that works an extra, pressed without Ctrl; its repeats are ignored.
struct ExtraKey {
    std::uintptr_t key;  // the virtual key: an upper-case letter for a letter
    void (*press)(WindowHandle main_window);
    const char* help;    // its lines in the list of keys, each ended by '\n'
    bool shift = false;  // with Shift held; without, the key alone
};

// The extras' keys join the toy's from now on, in this order in the list,
// after those offered before (the toy's extras, then a program's own).
void offer_extra_keys(std::span<const ExtraKey> keys);

// F1's list: the toy's keys with the offered ones among them.
std::string keys_help();

// The toy's keys, seen before the main window sees them: true for those
// they kept.
bool play_key_message(WindowHandle main_window, std::uint32_t message, std::uintptr_t wparam,
                      std::intptr_t lparam);

// What the toy's own keys do to the toy: click an icon bar button (value:
// its kind), press or let go a slider's arrow key (value: the key). Seen by
// whoever keeps a replay; unset, nothing is called.
enum class ToyKeyWork : std::int32_t { icon, slider_down, slider_up };
extern void (*toy_key_worked)(ToyKeyWork work, std::uintptr_t value, bool repeat);
// Does it, as a key would (a replay played back does it so); false when a
// slider key was not the slider's.
bool work_toy_key(ToyKeyWork work, std::uintptr_t value, bool repeat);

// The keys taken with Ctrl held: the zoom's.
inline constexpr std::uintptr_t zoom_keys[] = {vk_oem_plus, vk_add, vk_oem_minus, vk_subtract, '0', vk_numpad0};

// Full screen's zoom: the largest that still fits the toy's whole layout.
std::int32_t full_screen_zoom(const Rect& screen);
