// What must hold of the toy between any two frames, whatever the user did:
// the cells of both buffers within their range and the border at 0, the
// sliders inside their ranges and the rule parameter in step with its
// slider. modra-render --check looks after every frames step of a script,
// which makes a long random script a soak test of the whole toy.
#pragma once

#include <cstdint>
#include <string>

// Empty when everything holds; otherwise the first thing that does not.
std::string check_toy_state();

// A run's checks: how many, over which frames, and the resident memory once
// the toy has settled (at the first check after `settled_frames`) and at the
// last check, both taken with the window at its usual 710 x 580.
struct CheckTally {
    std::int64_t checks = 0;
    std::int64_t frames = 0;
    std::int64_t rule_frames[2] = {};  // frames stepped by each rule
    std::int64_t paused_frames = 0;    // frames drawn without a step
    std::int64_t settled_kib = -1;
    std::int64_t last_kib = -1;
};
inline constexpr std::int64_t settled_frames = 10'000;

// Counts the frames made since the last call under the present rule; the
// driver calls it whenever the toy looks for input, which is between frames.
void count_frames(CheckTally& tally);
// Checks the toy now; empty, or what broke.
std::string check_now(CheckTally& tally);
// One line for the user: what was checked and the memory figures.
std::string describe(const CheckTally& tally);
