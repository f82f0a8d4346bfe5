// A replay as text: everything from outside the field that changed it, each
// with the frame before which it was handled, in the order handled. One
// line a record; numbers that run on (frames, pointer points) as deltas from
// the record before, so that a session's text is small and deflates well.
//
//   modra-replay 1
//   seed 123456789 size 710 580 zoom 1
// or, made in the phone's arrangement of the windows (app/layout.h), which
// a reader of version 1 cannot lay out:
//   modra-replay 2
//   seed 123456789 size 842 510 zoom 1 phone
//   <frames since the last record> <letter> <fields>
//     m d u D U  W X Y B  a pointer message (move, left down, up, right down,
//                         up) to window W (a child id, or -1 the main one) at
//                         the point (X, Y) after the last, with buttons B
//     t W ID              a timer of window W
//     s W H               the main window's client size
//     z Z                 the zoom
//     c KIND              a key clicked the icon bar's button of KIND
//     v VK R / ^ VK       a key pressed (R: a repeat) or let go a slider's arrow
//     a K A B / A K A B   a hand's action, between messages / just before the frame
//     e                   the end: the frames the session had when it was kept;
//                         every replay ends with it, so that one cut short shows
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::int32_t replay_version = 1;
inline constexpr std::int32_t phone_replay_version = 2;
// Fifteen minutes of the toy, and a little room.
inline constexpr std::int64_t longest_replay_frames = 15 * 60 * 60;
inline constexpr std::size_t most_replay_records = 2'000'000;

struct ReplayRecord {
    enum Kind : std::int32_t { pointer, timer, size, zoom, icon, slider_down, slider_up, act, end } kind = pointer;
    std::int64_t frame = 0;
    std::int32_t window = -1;    // pointer, timer
    std::int32_t code = 0;       // pointer: 0 move, 1 left down, 2 left up, 3 right down, 4 right up; act: its kind
    std::int32_t x = 0, y = 0;   // pointer: the point; size: width, height; zoom, icon, timer, slider keys: x; act: a, b
    std::uint32_t buttons = 0;   // pointer
    bool repeat = false;         // slider_down
    bool before_frame = false;   // act
};

struct Replay {
    std::uint32_t seed = 1;
    std::int32_t width = 710, height = 580, zoom = 1;
    bool phone = false;  // the windows in the phone's arrangement
    std::vector<ReplayRecord> records;
};

std::string replay_text(const Replay& replay);
// False with `error` (one line) for text that is not a whole replay of
// this version or an older one.
bool read_replay_text(std::string_view text, Replay& replay, std::string& error);

// A replay as it travels (where zlib packs it; the page unpacks its own): a kept file's whole content, or a link holding
// it after "#replay=" (with "&at=N" after it, the frame it holds: `at`,
// else -1). False with `error` (a few words) for anything damaged,
// truncated or foreign.
bool read_packed_replay(std::string_view packed_or_link, Replay& replay, std::int64_t& at, std::string& error);
