#include "programs/modra/command_line.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "keys/play_keys.h"
#include "programs/common/quoted.h"
#include "replay/replay.h"

namespace {

constexpr std::size_t indent = 18;
constexpr std::size_t line_width = 79;

// "  label   what it does", what it does wrapped under itself; a label too
// long for its column has a line of its own.
std::string entry(const std::string& label, const std::string& text)
{
    std::string out(2, ' ');
    out += label;
    if (out.size() + 1 > indent)
        out += '\n' + std::string(indent, ' ');
    else
        out.resize(indent, ' ');
    std::size_t column = indent;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(at, end - at);
        if (column > indent && column + 1 + word.size() > line_width) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (column > indent) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        at = end + 1;
    }
    return out + "\n";
}

}  // namespace

ModraCommand parse_modra_command(std::span<const std::string> args, bool windows)
{
    if (args.empty())
        return {};
    const std::string& arg = args[0];
    if (arg == "--help" || arg == "-h" || (windows && arg == "/?"))
        return {ModraCommand::help, {}, {}};
    if (arg == "--version")
        return {ModraCommand::version, {}, {}};
    if (!arg.empty() && (arg[0] == '-' || (windows && arg[0] == '/')))
        return {ModraCommand::bad, "unknown option " + ::quoted(arg) + " (try --help)", {}};
    if (args.size() > 1)
        return {ModraCommand::bad, "unexpected argument " + ::quoted(args[1]) + " (try --help)", {}};
    return {ModraCommand::replay, {}, arg};
}

namespace {

bool read_replay_file(const std::string& file, Replay& replay, std::string& error)
{
    // The name is UTF-8 wherever it came from; Windows opens it by its wide
    // form only.
    const std::filesystem::path path(std::u8string(file.begin(), file.end()));
    std::ifstream in(path, std::ios::binary);
    std::string packed;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        error = "it is a folder";
    else if (!in.is_open())
        error = "it cannot be read";
    else if (const auto size = std::filesystem::file_size(path, ec); !ec && size > (100u << 20))
        error = "it is too big for a replay";  // a video dropped on the window, say
    else
        packed.assign(std::istreambuf_iterator<char>(in), {});
    std::int64_t at = -1;
    if (error.empty() && read_packed_replay(packed, replay, at, error))
        return true;
    error = "cannot play " + ::quoted(file, 240) + ": " + error;
    return false;
}

}  // namespace

bool load_replay_file(const std::string& file, std::string& error)
{
    Replay replay;
    if (!read_replay_file(file, replay, error))
        return false;
    play_replay(replay);
    return true;
}

bool is_replay_file(const std::string& file, std::string& error)
{
    Replay replay;
    return read_replay_file(file, replay, error);
}

std::string modra_usage()
{
    std::string usage = "usage: modra [FILE.modra | --help | --version]\n"
                        "\n"
                        "Opens the toy: a field of fire, plasma and water ripples to play with. Given a\n"
                        "replay (K keeps one), it plays it back from its start, until you take over.\n"
                        "\n"
                        "Mouse:\n" +
                        entry("left button", "drop bumps into the picture; drag for a trail") +
                        entry("right drag", "up and down the parameter, left and right the palette") +
                        entry("sliders", "the right one the rule parameter, the bottom one the palette") +
                        entry("icon bar", "diffusion, wave, pause, the title picture") +
                        "\n"
                        "Keys:\n";
    // The keys' list: a key, three spaces and what it does, a line each.
    const std::string keys = keys_help() + "\n";
    for (std::size_t at = 0, end; (end = keys.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = keys.substr(at, end - at);
        const std::size_t gap = line.find("   ");
        usage += gap == std::string::npos ? entry(line, "") : entry(line.substr(0, gap), line.substr(gap + 3));
    }
    return usage + "\n"
                   "Options:\n" +
           entry("--help", "print this and stop") + entry("--version", "print the version and stop");
}
