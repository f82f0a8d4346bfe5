// The main window's title as a readout: "Modra", or "Modra — 60 fps" once a
// second while the frame rate is asked for, or a status ("Modra —
// recording"), or a short note ("Modra — saved ...") for a while.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

inline constexpr std::uintptr_t frame_rate_timer = 0x4D01;
inline constexpr std::uintptr_t note_timer = 0x4D02;
inline constexpr std::uint32_t note_ms = 2000;

void toggle_frame_rate(WindowHandle main_window);
void show_note(WindowHandle main_window, const std::string& note);
// What goes on, shown while nothing else is noted ("recording", "listening
// to the microphone"); one for each that may go on at once, empty for none.
enum StatusSlot : std::int32_t { recording_status, listening_status, status_slots };
void show_status(WindowHandle main_window, StatusSlot slot, const std::string& status);
// A timer of the readout came: true when it was one of its own.
bool readout_timer(WindowHandle main_window, std::uintptr_t id);
