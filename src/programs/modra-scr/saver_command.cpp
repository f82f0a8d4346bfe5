#include "programs/modra-scr/saver_command.h"

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && is_space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_space(s.back()))
        s.remove_suffix(1);
    return s;
}

// A window handle as Windows writes it on the command line: decimal digits
// only, and not so many that they wrap.
bool parse_handle(std::string_view s, std::uint64_t& value)
{
    if (s.empty())
        return false;
    std::uint64_t v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9')
            return false;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (v > (UINT64_MAX - digit) / 10)
            return false;
        v = v * 10 + digit;
    }
    value = v;
    return true;
}

SaverCommand of(SaverMode mode, std::uint64_t window = 0)
{
    SaverCommand c;
    c.mode = mode;
    c.window = window;
    return c;
}

}  // namespace

SaverCommand parse_saver_command(std::string_view line)
{
    const std::string_view whole = trimmed(line);
    SaverCommand bad = of(SaverMode::bad);
    bad.argument = whole;
    if (whole.empty())
        return {};
    if (whole == "--help")
        return of(SaverMode::help);
    if (whole == "--version")
        return of(SaverMode::version);
    if (whole.size() < 2 || (whole[0] != '/' && whole[0] != '-'))
        return bad;
    // The letter is followed by nothing, a colon or a space, then the value.
    std::string_view rest = whole.substr(2);
    if (!rest.empty()) {
        if (rest.front() != ':' && !is_space(rest.front()))
            return bad;
        rest = trimmed(rest.substr(1));
    }
    std::uint64_t window = 0;
    switch (whole[1]) {
    case 's':
    case 'S':
        return rest.empty() ? of(SaverMode::run) : bad;
    case 'p':
    case 'P':
        return parse_handle(rest, window) && window != 0 ? of(SaverMode::preview, window) : bad;
    case 'c':
    case 'C':
        if (rest.empty())
            return {};
        return parse_handle(rest, window) ? of(SaverMode::settings, window) : bad;
    case '?':
        return rest.empty() ? of(SaverMode::help) : bad;
    default:
        return bad;
    }
}
