// The pointer script of modra-render: a user's session written down.
//
//   press left|right X Y     move X Y     release left|right X Y
//   click X Y                wait MS      frames N          # comment
//
// X and Y are main-window client coordinates, within the 16-bit range a
// pointer message carries.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

struct ScriptStep {
    enum Kind { press, move, release, wait, frames } kind;
    std::uintptr_t button = 0;  // mk_lbutton or mk_rbutton, for press and release
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int64_t amount = 0;  // milliseconds for wait, frames for frames
};

// Reads the whole script; on a bad line returns false with `error` naming it.
bool parse_script(std::istream& in, std::vector<ScriptStep>& steps, std::string& error);
