// A hand on the toy's controls, for the extras that play it (attract mode,
// listening): each action goes through the control it stands for, so the
// control shows it and the toy cannot tell it from the user's own.
#pragma once

#include <cstdint>

struct HandAction {
    enum Kind : std::int32_t { drop, palette, parameter, rule, picture } kind;
    std::int32_t a = 0;  // drop: row; palette, parameter: the slider's value; rule: 0 or 1
    std::int32_t b = 0;  // drop: column
};

// A click on the icon bar's button of that kind (pause_button, ...).
void click_icon(std::int32_t kind);

// Carries out one action through the control it stands for.
void apply_hand_action(const HandAction& action);

// Every action a hand carried out, for whoever wants to see them (the tests
// replay them); unset, nothing is called.
extern void (*hand_acted)(const HandAction& action);

// Carries it out and tells hand_acted.
void act(const HandAction& action);

// A seed from the clocks, for a hand's generator whose show nobody needs
// to repeat.
std::uint64_t clock_seed();
