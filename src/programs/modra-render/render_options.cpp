#include "programs/modra-render/render_options.h"

#include <cctype>
#include <charconv>

#include "programs/common/quoted.h"
#include "platform/files/image_file.h"
#include "platform/screen.h"
#include "palette/palette_bank.h"
#include "sim/cell_field.h"

const char* const render_usage =
    "usage: modra-render [--rule diffusion|wave] [--parameter P] [--palette K] [--seed S]\n"
    "                    [--frames N] [--drop ROW,COL]... [--script FILE|-] [--size W,H]\n"
    "                    [--out FILE.png|FILE.ppm] [--window FILE.png|FILE.ppm] [--dump-field FILE]\n"
    "                    [--gif FILE.gif] [--webp FILE.webp] [--record-from N]\n"
    "                    [--video FILE.mp4|FILE.webm] [--scale N] [--quality Q]\n"
    "                    [--zoom N] [--screen W,H] [--attract] [--audio FILE] [--check]\n"
    "                    [--keep FILE.modra] [--replay FILE|LINK]\n"
    "       modra-render --help | --version\n"
    "\n"
    "Runs the whole toy without a display, on a virtual clock, and writes what it shows.\n"
    "  --rule        diffusion (default) or wave, chosen with the icon bar\n"
    "  --parameter   the rule parameter, -2000..2000 (default 0), set with its slider\n"
    "  --palette     bank palette K, 0..99, chosen with the palette slider (the picture\n"
    "                fades to it)\n"
    "  --seed        the random source's state after start-up, 0..4294967295: the same\n"
    "                options and seed give the same files every time. Without it the\n"
    "                sparks follow the millisecond clock, and two runs differ\n"
    "  --drop        stamp a drop of radius 10 at the field's cell ROW,COL (ROW 1..480,\n"
    "                COL 1..640) before the first frame\n"
    "  --script      pointer events and keys to play, one per line:\n"
    "                  press left|right X Y, move X Y, release left|right X Y, click X Y,\n"
    "                  key NAME, keydown NAME, keyup NAME, wait MS, frames N, resize W H,\n"
    "                  # comment (X, Y, W, H in main-window client pixels as shown; NAME\n"
    "                  a key such as space, w, left, f11, ctrl+plus, alt+enter)\n"
    "  --frames      frames to run after the script, up to 100000000 (default 1, or 0\n"
    "                with a script); 0 without a script shows the start pattern\n"
    "  --size        the main window's client size (default 710,580)\n"
    "  --zoom        show the window at zoom N, 1..4 (default 1): --window is N times\n"
    "                as big, and script points are in its pixels\n"
    "  --screen      the screen that full screen (key f11) fills (default 1280,1024)\n"
    "  --out         write the 640 x 480 picture, PNG or PPM by extension\n"
    "  --window      write the whole main window as painted\n"
    "  --dump-field  write the present cells, 482 rows of 642 little-endian int32\n"
    "  --gif         record the run's frames as an animated GIF: every second frame,\n"
    "                30 a second, exactly the colours shown\n"
    "  --webp        record every frame as a lossless animated WebP, 60 a second\n"
    "  --video       record every frame as a video to share: .mp4 is H.264 with AAC\n"
    "                sound, .webm VP9 with Opus; with --audio, the sound in time\n"
    "  --scale       the video's pixels per picture pixel, 1..4 (default 2: 1280 x 960)\n"
    "  --quality     the video encoder's constant quality, lower is better and bigger:\n"
    "                0..51 for .mp4 (default 23), 0..63 for .webm (default 31)\n"
    "  --record-from leave the first N frames out of the recordings\n"
    "  --attract     let the toy play by itself (attract mode) once the other options\n"
    "                are applied; its choices come from --seed, or from seed 1 without\n"
    "                it (the sparks still follow the clock then)\n"
    "  --audio       listen to a sound file (WAV, FLAC, Ogg, Opus, MP3) as the frames\n"
    "                pass, frame n hearing it up to n/60 s; without --frames, to its end\n"
    "  --keep        keep the run (script, attract mode and sound included) as a replay\n"
    "  --replay      play a replay kept by K, --keep or a link (#replay=...) from its\n"
    "                start, to its end or to --frames N, the frame a link's &at=N holds\n"
    "  --check       after every frames step of the script and at the end, check that\n"
    "                every cell is within 0..65535, the border 0 and the sliders in\n"
    "                range; stop at the first fault; print what was checked\n"
    "  --help        print this and stop\n"
    "  --version     print the version and stop\n";

namespace {

// The options that take no value.
bool* flag(const std::string& name, RenderOptions& options)
{
    if (name == "--help" || name == "-h") return &options.help;
    if (name == "--version") return &options.version;
    if (name == "--check") return &options.check;
    if (name == "--attract") return &options.attract;
    return nullptr;
}

// Plain decimal only: no plus sign, spaces or base prefix, and no "-0".
template <typename Int>
bool parse_int(const std::string& text, Int& value)
{
    const char* end = text.data() + text.size();
    Int parsed{};
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (ec != std::errc{} || ptr != end || text.empty() || (text[0] == '-' && parsed == 0))
        return false;
    value = parsed;
    return true;
}

bool parse_pair(const std::string& text, std::int32_t& first, std::int32_t& second)
{
    const auto comma = text.find(',');
    return comma != std::string::npos && parse_int(text.substr(0, comma), first) &&
           parse_int(text.substr(comma + 1), second);
}

bool parse_image_name(const std::string& value, std::string& name)
{
    ImageFormat format;
    if (!image_format_for(value, format))
        return false;
    name = value;
    return true;
}

// Any case, and something before it.
bool ends_with_extension(const std::string& name, const std::string& extension)
{
    if (name.size() <= extension.size())
        return false;
    for (std::size_t i = 0; i < extension.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - extension.size() + i])) != extension[i])
            return false;
    return true;
}

bool known_option(const std::string& name)
{
    for (const char* known : {"--rule", "--parameter", "--palette", "--seed", "--frames", "--drop", "--size",
                              "--script", "--out", "--window", "--dump-field", "--zoom", "--screen", "--gif", "--webp",
                              "--record-from", "--audio", "--video", "--scale", "--quality", "--keep", "--replay"})
        if (name == known)
            return true;
    return false;
}

std::string parse_option(const std::string& name, const std::string& value, RenderOptions& options)
{
    if (name == "--rule") {
        if (value == "diffusion")
            options.rule = 0;
        else if (value == "wave")
            options.rule = 1;
        else
            return "--rule takes diffusion or wave, not " + quoted(value);
    } else if (name == "--parameter") {
        if (!parse_int(value, options.parameter) || options.parameter < parameter_min ||
            options.parameter > parameter_max)
            return "--parameter takes a whole number from -2000 to 2000, not " + quoted(value);
    } else if (name == "--palette") {
        std::int32_t k = 0;
        if (!parse_int(value, k) || k < 0 || k >= max_palettes)
            return "--palette takes a palette number from 0 to 99, not " + quoted(value);
        options.palette = k;
    } else if (name == "--seed") {
        std::uint32_t s = 0;
        if (!parse_int(value, s))
            return "--seed takes a whole number from 0 to 4294967295, not " + quoted(value);
        options.seed = s;
    } else if (name == "--frames") {
        std::int32_t n = 0;
        if (!parse_int(value, n) || n < 0 || n > max_count)
            return "--frames takes a whole number from 0 to 100000000, not " + quoted(value);
        options.frames = n;
    } else if (name == "--drop") {
        Drop drop{};
        if (!parse_pair(value, drop.row, drop.column) || drop.row < 1 || drop.row > field_height ||
            drop.column < 1 || drop.column > field_width)
            return "--drop takes ROW,COL, a cell of the field (ROW 1..480, COL 1..640), not " + quoted(value);
        options.drops.push_back(drop);
    } else if (name == "--size") {
        if (!parse_pair(value, options.width, options.height) || options.width < 0 || options.height < 0 ||
            options.width > max_client_side || options.height > max_client_side)
            return "--size takes W,H, each from 0 to 4096, not " + quoted(value);
    } else if (name == "--zoom") {
        if (!parse_int(value, options.zoom) || options.zoom < 1 || options.zoom > max_zoom)
            return "--zoom takes a whole number from 1 to 4, not " + quoted(value);
    } else if (name == "--screen") {
        if (!parse_pair(value, options.screen_width, options.screen_height) || options.screen_width < 1 ||
            options.screen_height < 1 || options.screen_width > max_screen_side || options.screen_height > max_screen_side)
            return "--screen takes W,H, each from 1 to 8192, not " + quoted(value);
    } else if (name == "--script") {
        if (value.empty())
            return "--script needs a file name, or - for standard input";
        options.script = value;
    } else if (name == "--out" || name == "--window") {
        if (!parse_image_name(value, name == "--out" ? options.out : options.window))
            return name + " needs a file name ending in .png or .ppm, not " + quoted(value);
    } else if (name == "--gif" || name == "--webp") {
        const std::string extension = name == "--gif" ? ".gif" : ".webp";
        if (!ends_with_extension(value, extension))
            return name + " needs a file name ending in " + extension + ", not " + quoted(value);
        (name == "--gif" ? options.gif : options.webp) = value;
    } else if (name == "--record-from") {
        if (!parse_int(value, options.record_from) || options.record_from < 0 || options.record_from > max_count)
            return "--record-from takes a whole number from 0 to 100000000, not " + quoted(value);
    } else if (name == "--video") {
        if (!ends_with_extension(value, ".mp4") && !ends_with_extension(value, ".webm"))
            return "--video needs a file name ending in .mp4 or .webm, not " + quoted(value);
        options.video = value;
        options.video_format = ends_with_extension(value, ".webm") ? VideoFormat::webm : VideoFormat::mp4;
    } else if (name == "--scale") {
        if (!parse_int(value, options.scale) || options.scale < 1 || options.scale > max_video_scale)
            return "--scale takes a whole number from 1 to 4, not " + quoted(value);
    } else if (name == "--quality") {
        std::int32_t q = 0;
        if (!parse_int(value, q) || q < 0 || q > 63)
            return "--quality takes a whole number from 0 to 63, not " + quoted(value);
        options.quality = q;
    } else if (name == "--keep" || name == "--replay") {
        if (value.empty())
            return name + " needs a file name" + (name == "--replay" ? " or a link" : "");
        (name == "--keep" ? options.keep : options.replay) = value;
    } else if (name == "--audio") {
        if (value.empty())
            return "--audio needs a file name";
        options.audio = value;
    } else if (name == "--dump-field") {
        if (value.empty())
            return "--dump-field needs a file name";
        options.dump_field = value;
    }
    return {};
}

}  // namespace

std::string parse_render_options(const std::vector<std::string>& args, RenderOptions& options)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (bool* set = flag(arg, options)) {
            *set = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0)
            return "unexpected argument " + quoted(arg) + " (try --help)";
        const auto eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        if (flag(name, options))
            return name + " takes no value (try --help)";
        if (!known_option(name))
            return "unknown option " + quoted(name) + " (try --help)";
        std::string value;
        if (eq != std::string::npos)
            value = arg.substr(eq + 1);
        else if (i + 1 < args.size())
            value = args[++i];
        else
            return name + " needs a value (try --help)";
        if (std::string error = parse_option(name, value, options); !error.empty())
            return error;
    }
    if (!options.help && !options.version && !options.check && options.out.empty() && options.window.empty() &&
        options.dump_field.empty() && options.gif.empty() && options.webp.empty() && options.video.empty() &&
        options.keep.empty())
        return "nothing to do: give --out, --window, --dump-field, --gif, --webp, --video, --keep or --check "
               "(try --help)";
    // A replay holds the whole session; nothing may be added to it.
    if (!options.replay.empty() &&
        (!options.script.empty() || options.attract || !options.audio.empty() || !options.drops.empty() ||
         options.rule != 0 || options.parameter != 0 || options.palette || options.seed || options.width != 710 ||
         options.height != 580))
        return "--replay plays the session as it was: it takes no --script, --attract, --audio, --drop, --rule, "
               "--parameter, --palette, --seed or --size";
    if (options.quality && !options.video.empty() && options.video_format == VideoFormat::mp4 && *options.quality > 51)
        return "--quality takes a whole number from 0 to 51 for .mp4, not " + std::to_string(*options.quality);
    return {};
}
