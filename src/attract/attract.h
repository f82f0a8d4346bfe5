// Attract mode: the toy plays itself, as a hand on its controls would. Drops
// fall like rain (more of them in the wave rule, where they make the rings),
// now and then as a short drag; the palette slider moves every 20 to 40
// seconds, so the picture fades and the slider shows it; the parameter
// drifts through what looks good for the rule in force; the rule buttons
// are pressed every few minutes, and the picture button now and then. The
// user's own input is simply mixed in. Its choices come from a generator of
// its own: the sparks' random source draws exactly as it would without it.
#pragma once

#include <cstdint>

#include "hand/hand.h"
#include "platform/window.h"

inline constexpr std::uintptr_t attract_timer = 0x4D04;
inline constexpr std::uint32_t attract_tick_ms = 50;

// On and off, on the main window's timer; `seed` starts its generator.
void start_attract(WindowHandle main_window, std::uint64_t seed);
void stop_attract();
bool attract_on();

// A seed from the clocks, for a show nobody needs to repeat.
std::uint64_t attract_clock_seed();

// A program that plays by itself from the start (the screensavers,
// modra-render --attract): attract mode starts as the main window is made,
// or at once when it is there already.
void attract_from_start(std::uint64_t seed);

// The main window's messages, for the hook that runs attract mode: its
// timer, and its start with the window. True for those it kept.
bool attract_message(WindowHandle main_window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);

// Music, when the toy listens, leads attract mode while it is heard: the
// music's own drops take the place of the rain, and its cues time the
// palette changes, the rule changes and the parameter's drift (towards
// where its loudness, 0..1, puts it in the rule's range). However the
// cues come, palette changes stay at least four seconds apart and rule
// changes thirty, so that the picture never flashes.
void attract_follow_music(bool heard);
void attract_cue_level(float level);
void attract_cue_palette();
void attract_cue_rule();

// What attract mode did, one action at a time, for whoever wants to see it
// (the tests replay them); unset, nothing is called.
using AttractAction = HandAction;
extern void (*attract_acted)(const AttractAction& action);
// Carries out one action through the control it stands for.
inline void apply_attract_action(const AttractAction& action) { apply_hand_action(action); }
