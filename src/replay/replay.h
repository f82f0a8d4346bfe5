// Replays: everything from outside the field that changed it, kept as it
// happens from the start of the session, and played back so that the
// frames come out bit for bit as they were made. Kept: the random source's
// seed, the pointer's messages to the toy's windows, the two controls'
// timers, the toy's own keys' work, the window's size and zoom, and every
// action of a hand (attract mode's, listening's), each with the frame
// before which it was handled. Played back: exactly those at exactly those
// points, with the live ones held off (the controls' timers, attract mode,
// listening), until the user's own input takes over.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hand/hand.h"
#include "keys/play_keys.h"
#include "platform/window.h"
#include "replay/replay_text.h"

// The session so far as text; false with `error` ("the session is too long
// to keep") past fifteen minutes.
bool kept_replay(std::string& text, std::string& error);

// From the next start of the toy (the main window's creation), `replay` is
// played back, in the arrangement of the windows it was made in (so this
// comes before start-up); to its end, or with `hold_at` to that frame, where the toy
// stands still until the user's input takes over.
void play_replay(const Replay& replay, std::int64_t hold_at = -1);
bool replay_playing();
bool replay_held();  // main_loop's hold_frames_hook
// The frames the replay being played has, its last record's.
std::int64_t replay_length();

// Where a program wires it (each as its hook of the same shape says).
bool replay_message(WindowHandle main_window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
bool replay_loop_message(const Message& message);  // main_loop's message_hook
bool replay_due_input();                          // main_loop's due_input_hook
void replay_hand_acted(const HandAction& action);  // hand_acted
void replay_key_worked(ToyKeyWork work, std::uintptr_t value, bool repeat);
// Around what runs just before a frame: while playing, the replay's own
// actions for it, and true, in place of the live ones; otherwise false, and
// what the hand does until replay_frame_done() is kept as done then.
bool replay_before_frame();
void replay_frame_done();
