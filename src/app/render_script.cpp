#include "app/render_script.h"

#include <charconv>
#include <sstream>

#include "app/quoted.h"
#include "app/render_options.h"
#include "platform/window.h"

namespace {

// A plain decimal word within [low, high]; "-0" is no number a user means.
template <typename Int>
bool read_int(std::istringstream& words, Int& value, Int low, Int high)
{
    std::string word;
    if (!(words >> word))
        return false;
    Int parsed{};
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), parsed);
    if (ec != std::errc{} || end != word.data() + word.size() || (word[0] == '-' && parsed == 0) || parsed < low ||
        parsed > high)
        return false;
    value = parsed;
    return true;
}

bool read_point(std::istringstream& words, ScriptStep& step)
{
    return read_int(words, step.x, -32768, 32767) && read_int(words, step.y, -32768, 32767);
}

bool read_button(std::istringstream& words, std::uintptr_t& button)
{
    std::string word;
    if (!(words >> word))
        return false;
    if (word == "left")
        button = mk_lbutton;
    else if (word == "right")
        button = mk_rbutton;
    else
        return false;
    return true;
}

// One line's steps; an empty result for blank lines and comments.
bool parse_line(const std::string& line, std::vector<ScriptStep>& steps, std::string& problem)
{
    std::istringstream words(line);
    std::string verb;
    if (!(words >> verb) || verb[0] == '#')
        return true;
    ScriptStep step{ScriptStep::move};
    bool ok = false;
    if (verb == "press" || verb == "release") {
        step.kind = verb == "press" ? ScriptStep::press : ScriptStep::release;
        ok = read_button(words, step.button) && read_point(words, step);
        problem = "expected '" + verb + " left|right X Y' with X and Y from -32768 to 32767";
    } else if (verb == "move" || verb == "click") {
        ok = read_point(words, step);
        problem = "expected '" + verb + " X Y' with X and Y from -32768 to 32767";
    } else if (verb == "wait" || verb == "frames") {
        step.kind = verb == "wait" ? ScriptStep::wait : ScriptStep::frames;
        ok = read_int<std::int64_t>(words, step.amount, 0, max_count);
        problem = "expected '" + verb + (verb == "wait" ? " MS'" : " N'") + " with a whole number from 0 to 100000000";
    } else {
        problem = "unknown command " + quoted(verb);
        return false;
    }
    std::string extra;
    if (!ok || words >> extra)
        return false;
    if (verb == "click") {
        steps.push_back({ScriptStep::press, mk_lbutton, step.x, step.y});
        steps.push_back({ScriptStep::release, mk_lbutton, step.x, step.y});
    } else {
        steps.push_back(step);
    }
    return true;
}

}  // namespace

bool parse_script(std::istream& in, std::vector<ScriptStep>& steps, std::string& error)
{
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string problem;
        if (!parse_line(line, steps, problem)) {
            error = "script line " + std::to_string(number) + ": " + problem;
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot read the script";
        return false;
    }
    return true;
}
