#include "programs/modra-saver/saver_options.h"

#include <cctype>
#include <charconv>

#include "programs/common/quoted.h"

const char* const saver_usage =
    "usage: modra-saver [-root | -window-id ID | -desktop]\n"
    "\n"
    "The toy's picture alone, playing by itself and filling the window it is given:\n"
    "a display hack for xscreensaver. SIGTERM or SIGINT ends it.\n"
    "  -root          draw on the whole screen: the window XSCREENSAVER_WINDOW names\n"
    "                 when it is set (xscreensaver sets it), else the root window\n"
    "  -window-id ID  draw into the window ID (decimal, or hexadecimal after 0x)\n"
    "  -desktop       be the desktop's background: a window below all others, on\n"
    "                 every workspace, the picture whole on each monitor\n"
    "  -h, --help     show this text\n"
    "  --version      print the version\n"
    "Without -root, -window-id or -desktop it draws into the window\n"
    "XSCREENSAVER_WINDOW names, or else into a window of its own.\n";

namespace {

// xscreensaver's hacks take their options with one dash; GNU habits bring two.
bool is_option(const std::string& arg, const char* name)
{
    const std::string_view a = arg;
    return a == std::string_view(name) || (a.size() > 1 && a[0] == '-' && a.substr(1) == name);
}

}  // namespace

bool parse_window_id(const std::string& text, std::uint32_t& id)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    // from_chars takes neither a sign nor spaces, but would take a second 0x.
    if (begin == end || !(std::isxdigit(static_cast<unsigned char>(*begin))))
        return false;
    std::uint32_t parsed = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, parsed, hex ? 16 : 10);
    if (ec != std::errc{} || ptr != end || parsed == 0)
        return false;
    id = parsed;
    return true;
}

std::string parse_saver_options(const std::vector<std::string>& args, const char* environment_window,
                                SaverOptions& options)
{
    options = SaverOptions{};
    bool root = false, window_given = false, desktop = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || is_option(arg, "-help")) {
            options.help = true;
        } else if (is_option(arg, "-version")) {
            options.version = true;
        } else if (is_option(arg, "-root")) {
            root = true;
        } else if (is_option(arg, "-desktop")) {
            desktop = true;
        } else if (is_option(arg, "-window-id")) {
            if (i + 1 == args.size())
                return arg + " needs a window id";
            if (!parse_window_id(args[++i], options.target.window))
                return arg + " takes a window id (decimal, or hexadecimal after 0x), not " + quoted(args[i]);
            window_given = true;
        } else {
            return "unknown option " + quoted(arg) + " (try -help)";
        }
    }
    if (root + window_given + desktop > 1)
        return "-root, -window-id and -desktop name different windows; give one";
    // Asked for by name, the desktop is wanted even where a screensaver's window is in the environment.
    if (desktop) {
        options.target.kind = X11Target::desktop;
        return "";
    }
    if (window_given) {
        options.target.kind = X11Target::given_window;
        return "";
    }
    // xscreensaver starts every hack with -root and hands it its own window
    // in XSCREENSAVER_WINDOW: that window is the screen the hack should use.
    if (environment_window && *environment_window) {
        if (!parse_window_id(environment_window, options.target.window))
            return "XSCREENSAVER_WINDOW holds no window id (decimal, or hexadecimal after 0x): " +
                   quoted(environment_window);
        options.target.kind = X11Target::given_window;
        return "";
    }
    options.target.kind = root ? X11Target::root : X11Target::own_window;
    return "";
}
