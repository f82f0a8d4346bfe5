// The pointer script of modra-render: a user's session written down.
//
//   press left|right X Y     move X Y     release left|right X Y
//   click X Y                wait MS      frames N          # comment
//   resize W H               key NAME     keydown NAME      keyup NAME
//
// X and Y are main-window client coordinates, within the 16-bit range a
// pointer message carries. NAME is a key (a letter or digit, space, enter,
// escape, up, down, left, right, plus, minus, f1 .. f12, ctrl, alt, shift),
// after any of ctrl+, alt+ and shift+ held with it. A keydown of a key
// already down is the keyboard's repeat; key is a keydown and a keyup.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

struct ScriptStep {
    enum Kind { press, move, release, wait, frames, resize, key_down, key_up } kind;
    std::uintptr_t button = 0;  // mk_lbutton or mk_rbutton, for press and release; the virtual key for keys
    std::int32_t x = 0;  // for resize: the client width and height
    std::int32_t y = 0;
    std::int64_t amount = 0;  // milliseconds for wait, frames for frames
};

// Reads the whole script; on a bad line returns false with `error` naming it.
bool parse_script(std::istream& in, std::vector<ScriptStep>& steps, std::string& error);
