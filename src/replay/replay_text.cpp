#include "replay/replay_text.h"

#include <charconv>


namespace {

constexpr char pointer_letters[] = "mduDU";

void add(std::string& out, std::int64_t n)
{
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
    out.append(digits, end);
}

// The words of a line, taken one by one.
struct Words {
    std::string_view rest;
    bool next(std::string_view& word)
    {
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
        if (rest.empty())
            return false;
        const std::size_t end = rest.find(' ');
        word = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
        return true;
    }
    bool number(std::int64_t& n, std::int64_t low, std::int64_t high)
    {
        std::string_view w;
        if (!next(w))
            return false;
        std::int64_t v = 0;
        const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
        if (ec != std::errc{} || end != w.data() + w.size() || v < low || v > high)
            return false;
        n = v;
        return true;
    }
    template <typename Int>
    bool number(Int& n, std::int64_t low, std::int64_t high)
    {
        std::int64_t v = 0;
        if (!number(v, low, high))
            return false;
        n = static_cast<Int>(v);
        return true;
    }
    bool word(std::string_view expected)
    {
        std::string_view w;
        return next(w) && w == expected;
    }
    bool done()
    {
        std::string_view w;
        return !next(w);
    }
};

bool read_record(Words& w, char letter, ReplayRecord& r, std::int32_t& last_x, std::int32_t& last_y)
{
    if (const char* p = std::char_traits<char>::find(pointer_letters, 5, letter)) {
        std::int64_t dx = 0, dy = 0;
        r.kind = ReplayRecord::pointer;
        r.code = static_cast<std::int32_t>(p - pointer_letters);
        if (!w.number(r.window, -1, 3) || !w.number(dx, -65535, 65535) || !w.number(dy, -65535, 65535) ||
            !w.number(r.buttons, 0, 3))
            return false;
        r.x = last_x + static_cast<std::int32_t>(dx);
        r.y = last_y + static_cast<std::int32_t>(dy);
        if (r.x < -32768 || r.x > 32767 || r.y < -32768 || r.y > 32767)
            return false;
        last_x = r.x;
        last_y = r.y;
        return true;
    }
    switch (letter) {
    case 't': r.kind = ReplayRecord::timer; return w.number(r.window, -1, 3) && w.number(r.x, 0, 0xFFFF);
    case 's': r.kind = ReplayRecord::size; return w.number(r.x, 0, 8192) && w.number(r.y, 0, 8192);
    case 'z': r.kind = ReplayRecord::zoom; return w.number(r.x, 1, 4);
    case 'c': r.kind = ReplayRecord::icon; return w.number(r.x, 0, 15);
    case 'v': r.kind = ReplayRecord::slider_down; return w.number(r.x, 0, 255) && w.number(r.repeat, 0, 1);
    case '^': r.kind = ReplayRecord::slider_up; return w.number(r.x, 0, 255);
    case 'e': r.kind = ReplayRecord::end; return true;
    case 'a':
    case 'A':
        r.kind = ReplayRecord::act;
        r.before_frame = letter == 'A';
        return w.number(r.code, 0, 4) && w.number(r.x, -65536, 65536) && w.number(r.y, -65536, 65536);
    default: return false;
    }
}

}  // namespace

std::string replay_text(const Replay& replay)
{
    std::string out = "modra-replay ";
    add(out, replay.phone ? phone_replay_version : replay_version);
    out += "\nseed ";
    add(out, replay.seed);
    out += " size ";
    add(out, replay.width);
    out += ' ';
    add(out, replay.height);
    out += " zoom ";
    add(out, replay.zoom);
    out += replay.phone ? " phone\n" : "\n";
    std::int64_t last_frame = 0;
    std::int32_t last_x = 0, last_y = 0;
    for (const ReplayRecord& r : replay.records) {
        add(out, r.frame - last_frame);
        last_frame = r.frame;
        out += ' ';
        switch (r.kind) {
        case ReplayRecord::pointer:
            out += pointer_letters[r.code];
            for (const std::int64_t n : {std::int64_t{r.window}, std::int64_t{r.x} - last_x, std::int64_t{r.y} - last_y,
                                         std::int64_t{r.buttons}}) {
                out += ' ';
                add(out, n);
            }
            last_x = r.x;
            last_y = r.y;
            break;
        case ReplayRecord::timer: out += "t "; add(out, r.window); out += ' '; add(out, r.x); break;
        case ReplayRecord::size: out += "s "; add(out, r.x); out += ' '; add(out, r.y); break;
        case ReplayRecord::zoom: out += "z "; add(out, r.x); break;
        case ReplayRecord::icon: out += "c "; add(out, r.x); break;
        case ReplayRecord::slider_down: out += "v "; add(out, r.x); out += r.repeat ? " 1" : " 0"; break;
        case ReplayRecord::slider_up: out += "^ "; add(out, r.x); break;
        case ReplayRecord::end: out += 'e'; break;
        case ReplayRecord::act:
            out += r.before_frame ? "A " : "a ";
            add(out, r.code);
            out += ' ';
            add(out, r.x);
            out += ' ';
            add(out, r.y);
            break;
        }
        out += '\n';
    }
    return out;
}

bool read_replay_text(std::string_view text, Replay& replay, std::string& error)
{
    replay = Replay{};
    if (!text.empty() && !text.starts_with("modra-replay ")) {
        error = "it is no replay of Modra";
        return false;
    }
    std::int64_t line_number = 0, frame = 0, version = 0;
    std::int32_t last_x = 0, last_y = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            error = "it is cut short";
            return false;
        }
        Words w{text.substr(0, end)};
        text.remove_prefix(end + 1);
        ++line_number;
        bool ok = false;
        if (line_number == 1) {
            if (!w.word("modra-replay") || !w.number(version, 1, INT32_MAX) || !w.done()) {
                error = "it is no replay of Modra";
                return false;
            }
            if (version > phone_replay_version) {
                error = "it was made by a newer version of Modra";
                return false;
            }
            continue;
        }
        if (line_number == 2) {
            ok = w.word("seed") && w.number(replay.seed, 0, UINT32_MAX) && w.word("size") &&
                 w.number(replay.width, 0, 8192) && w.number(replay.height, 0, 8192) && w.word("zoom") &&
                 w.number(replay.zoom, 1, 4);
            // Version 2 says the arrangement it needs, and only that.
            replay.phone = version == phone_replay_version;
            ok = ok && (!replay.phone || w.word("phone")) && w.done();
        } else {
            std::int64_t step = 0;
            std::string_view letter;
            ReplayRecord r;
            ok = replay.records.size() < most_replay_records && w.number(step, 0, longest_replay_frames) &&
                 (frame += step) <= longest_replay_frames && w.next(letter) && letter.size() == 1 &&
                 read_record(w, letter[0], r, last_x, last_y) && w.done();
            r.frame = frame;
            // Nothing follows the end: a replay cut after a whole line shows by lacking it.
            ok = ok && (replay.records.empty() || replay.records.back().kind != ReplayRecord::end);
            if (ok)
                replay.records.push_back(r);
        }
        if (!ok) {
            error = "line " + std::to_string(line_number) + " is damaged";
            return false;
        }
    }
    if (line_number == 0) {
        error = "it is empty";
        return false;
    }
    if (replay.records.empty() || replay.records.back().kind != ReplayRecord::end) {
        error = "it is cut short";
        return false;
    }
    return true;
}
