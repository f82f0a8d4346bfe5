// modra-render's command line from arbitrary bytes split at NULs: a refusal is one plain line; accepted
// options are within their ranges, and written back out read the same again.
#include <cctype>

#include "programs/modra-render/render_options.h"
#include "fuzz_support.h"

namespace {

bool names_an_image(const std::string& name)
{
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".png" || ext == ".ppm";
}

std::vector<std::string> written(const RenderOptions& o)
{
    std::vector<std::string> args = {"--rule=" + std::string(o.rule ? "wave" : "diffusion"),
                                     "--parameter=" + std::to_string(o.parameter),
                                     "--size=" + std::to_string(o.width) + "," + std::to_string(o.height),
                                     "--zoom=" + std::to_string(o.zoom),
                                     "--screen=" + std::to_string(o.screen_width) + "," + std::to_string(o.screen_height)};
    if (o.palette) args.push_back("--palette=" + std::to_string(*o.palette));
    if (o.seed) args.push_back("--seed=" + std::to_string(*o.seed));
    if (o.frames) args.push_back("--frames=" + std::to_string(*o.frames));
    for (const Drop& d : o.drops) args.push_back("--drop=" + std::to_string(d.row) + "," + std::to_string(d.column));
    for (const auto& [name, value] : {std::pair{"--out=", &o.out}, {"--window=", &o.window},
                                      {"--dump-field=", &o.dump_field}, {"--script=", &o.script},
                                      {"--gif=", &o.gif}, {"--webp=", &o.webp}, {"--audio=", &o.audio},
                                      {"--video=", &o.video}, {"--keep=", &o.keep}, {"--replay=", &o.replay}})
        if (!value->empty()) args.push_back(name + *value);
    args.push_back("--record-from=" + std::to_string(o.record_from));
    args.push_back("--scale=" + std::to_string(o.scale));
    if (o.quality) args.push_back("--quality=" + std::to_string(*o.quality));
    if (o.help) args.push_back("--help");
    if (o.check) args.push_back("--check");
    if (o.version) args.push_back("--version");
    if (o.attract) args.push_back("--attract");
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args;
    for (std::size_t start = 0; size > 0 && start <= size;) {
        const auto* nul = static_cast<const std::uint8_t*>(std::memchr(data + start, 0, size - start));
        const std::size_t end = nul ? static_cast<std::size_t>(nul - data) : size;
        args.emplace_back(reinterpret_cast<const char*>(data) + start, end - start);
        start = end + 1;
    }
    RenderOptions options;
    const std::string error = parse_render_options(args, options);
    if (!error.empty()) {
        FUZZ_CHECK(is_message_line(error, ""));
        return 0;
    }
    FUZZ_CHECK(options.rule == 0 || options.rule == 1);
    FUZZ_CHECK(options.parameter >= -2000 && options.parameter <= 2000);
    FUZZ_CHECK(options.width >= 0 && options.width <= 4096 && options.height >= 0 && options.height <= 4096);
    FUZZ_CHECK(!options.frames || (*options.frames >= 0 && *options.frames <= 100'000'000));
    FUZZ_CHECK(!options.palette || (*options.palette >= 0 && *options.palette <= 99));
    for (const Drop& d : options.drops)
        FUZZ_CHECK(d.row >= 1 && d.row <= 480 && d.column >= 1 && d.column <= 640);
    FUZZ_CHECK(options.zoom >= 1 && options.zoom <= 4);
    FUZZ_CHECK(options.screen_width >= 1 && options.screen_width <= 8192 && options.screen_height >= 1 &&
               options.screen_height <= 8192);
    FUZZ_CHECK(options.help || options.version || options.check || !options.out.empty() || !options.window.empty() ||
               !options.dump_field.empty() || !options.gif.empty() || !options.webp.empty() || !options.video.empty() ||
               !options.keep.empty());
    FUZZ_CHECK(options.record_from >= 0 && options.record_from <= 100'000'000);
    FUZZ_CHECK(options.out.empty() || names_an_image(options.out));
    FUZZ_CHECK(options.window.empty() || names_an_image(options.window));
    // Every field is written, the rule as one of its two names: the same words read back, the same options.
    RenderOptions again;
    FUZZ_CHECK(parse_render_options(written(options), again).empty() && again.rule == options.rule &&
               written(again) == written(options));
    return 0;
}
