// modra-render's command line from arbitrary bytes split at NULs: a refusal is one plain line; accepted
// options are within their ranges, hold exactly the values typed, and written back out read the same again.
#include <cctype>
#include <map>

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

// Every value given for each option, as --name=value or --name value; the flags take none.
std::map<std::string, std::vector<std::string>> values_given(const std::vector<std::string>& args)
{
    std::map<std::string, std::vector<std::string>> values;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "--check" || arg == "--version" || arg == "--attract") continue;
        const std::size_t eq = arg.find('=');
        if (eq != std::string::npos) values[arg.substr(0, eq)].push_back(arg.substr(eq + 1));
        else if (i + 1 < args.size()) values[arg].push_back(args[++i]);
    }
    return values;
}

bool written_as(const std::string& word, std::int64_t value) { return canonical_number(word) == std::to_string(value); }
bool pair_written_as(const std::string& word, std::int32_t first, std::int32_t second)
{
    const std::size_t comma = word.find(',');
    return comma != std::string::npos && written_as(word.substr(0, comma), first) &&
           written_as(word.substr(comma + 1), second);
}

// Each option holds exactly what its last value says, or its default.
void check_values(const std::vector<std::string>& args, const RenderOptions& o)
{
    auto values = values_given(args);
    const auto last = [&](const char* name) { return values[name].empty() ? nullptr : &values[name].back(); };
    const auto number_is = [&](const char* name, auto field) {
        const std::string* v = last(name);
        return v ? field && written_as(*v, *field) : !field;
    };
    const auto text_is = [&](const char* name, const std::string& field) {
        const std::string* v = last(name);
        return field == (v ? *v : std::string());
    };
    FUZZ_CHECK(o.rule == (last("--rule") && *last("--rule") == "wave" ? 1 : 0));
    FUZZ_CHECK(last("--parameter") ? written_as(*last("--parameter"), o.parameter) : o.parameter == 0);
    FUZZ_CHECK(number_is("--palette", o.palette) && number_is("--seed", o.seed) && number_is("--frames", o.frames));
    FUZZ_CHECK(last("--size") ? pair_written_as(*last("--size"), o.width, o.height) : o.width == 710 && o.height == 580);
    FUZZ_CHECK(last("--zoom") ? written_as(*last("--zoom"), o.zoom) : o.zoom == 1);
    FUZZ_CHECK(last("--record-from") ? written_as(*last("--record-from"), o.record_from) : o.record_from == 0);
    FUZZ_CHECK(text_is("--gif", o.gif) && text_is("--webp", o.webp) && text_is("--audio", o.audio));
    FUZZ_CHECK(last("--screen") ? pair_written_as(*last("--screen"), o.screen_width, o.screen_height)
                                : o.screen_width == 1280 && o.screen_height == 1024);
    FUZZ_CHECK(values["--drop"].size() == o.drops.size());
    for (std::size_t i = 0; i < o.drops.size(); ++i)
        FUZZ_CHECK(pair_written_as(values["--drop"][i], o.drops[i].row, o.drops[i].column));
    FUZZ_CHECK(text_is("--out", o.out) && text_is("--window", o.window) && text_is("--dump-field", o.dump_field) &&
               text_is("--script", o.script));
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
    check_values(args, options);
    // Every field is written, the rule as one of its two names: the same words read back, the same options.
    RenderOptions again;
    FUZZ_CHECK(parse_render_options(written(options), again).empty() && again.rule == options.rule &&
               written(again) == written(options));
    return 0;
}
