#include "app/render_options.h"

#include <charconv>

#include "platform/headless/image_file.h"
#include "sim/cell_field.h"

const char* const render_usage =
    "usage: modra-render [--rule diffusion|wave] [--parameter P] [--palette K] [--seed S]\n"
    "                    [--frames N] [--drop ROW,COL]... [--out FILE.png|FILE.ppm] [--dump-field FILE]\n"
    "\n"
    "Runs the field from its start pattern and writes the picture after N frames.\n"
    "  --rule        diffusion (default) or wave\n"
    "  --parameter   the rule parameter, -2000..2000 (default 0)\n"
    "  --palette     fade to bank palette K from palette 0\n"
    "  --seed        random state after start-up (default: the millisecond clock)\n"
    "  --frames      frames to run (default 1); 0 draws the start pattern\n"
    "  --drop        stamp a drop of radius 10 at field ROW,COL before the first frame\n"
    "  --out         write the 640 x 480 picture, PNG or PPM by extension\n"
    "  --dump-field  write the present cells, 482 rows of 642 little-endian int32\n";

namespace {

template <typename Int>
bool parse_int(const std::string& text, Int& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc{} && ptr == end && !text.empty();
}

std::string parse_drop(const std::string& text, Drop& drop)
{
    const auto comma = text.find(',');
    if (comma == std::string::npos || !parse_int(text.substr(0, comma), drop.row) ||
        !parse_int(text.substr(comma + 1), drop.column))
        return "--drop takes ROW,COL as two whole numbers, not '" + text + "'";
    return {};
}

std::string parse_option(const std::string& name, const std::string& value, RenderOptions& options)
{
    if (name == "--rule") {
        if (value == "diffusion")
            options.rule = 0;
        else if (value == "wave")
            options.rule = 1;
        else
            return "--rule takes diffusion or wave, not '" + value + "'";
    } else if (name == "--parameter") {
        if (!parse_int(value, options.parameter) || options.parameter < parameter_min ||
            options.parameter > parameter_max)
            return "--parameter takes a whole number from -2000 to 2000, not '" + value + "'";
    } else if (name == "--palette") {
        std::int32_t k = 0;
        if (!parse_int(value, k) || k < 0)
            return "--palette takes a palette number, not '" + value + "'";
        options.palette = k;
    } else if (name == "--seed") {
        std::uint32_t s = 0;
        if (!parse_int(value, s))
            return "--seed takes a whole number from 0 to 4294967295, not '" + value + "'";
        options.seed = s;
    } else if (name == "--frames") {
        if (!parse_int(value, options.frames) || options.frames < 0)
            return "--frames takes a whole number of 0 or more, not '" + value + "'";
    } else if (name == "--drop") {
        Drop drop{};
        if (std::string error = parse_drop(value, drop); !error.empty())
            return error;
        options.drops.push_back(drop);
    } else if (name == "--out") {
        ImageFormat format;
        if (!image_format_for(value, format))
            return "--out needs a file name ending in .png or .ppm, not '" + value + "'";
        options.out = value;
    } else if (name == "--dump-field") {
        if (value.empty())
            return "--dump-field needs a file name";
        options.dump_field = value;
    } else {
        return "unknown option '" + name + "' (try --help)";
    }
    return {};
}

}  // namespace

std::string parse_render_options(const std::vector<std::string>& args, RenderOptions& options)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0)
            return "unexpected argument '" + arg + "' (try --help)";
        std::string name = arg;
        std::string value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return name + " needs a value (try --help)";
        }
        if (std::string error = parse_option(name, value, options); !error.empty())
            return error;
    }
    if (!options.help && options.out.empty() && options.dump_field.empty())
        return "nothing to write: give --out FILE.png or --dump-field FILE (try --help)";
    return {};
}
