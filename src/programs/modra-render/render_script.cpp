#include "programs/modra-render/render_script.h"

#include <charconv>
#include <sstream>

#include "programs/common/quoted.h"
#include "programs/modra-render/render_options.h"
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

std::uintptr_t key_for(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9')))
        return static_cast<std::uintptr_t>(name[0] >= 'a' ? name[0] - 'a' + 'A' : name[0]);
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'f' && name[1] != '0' &&
        name.find_first_not_of("0123456789", 1) == std::string::npos) {
        const int n = std::stoi(name.substr(1));
        return n <= 12 ? vk_f1 + static_cast<std::uintptr_t>(n - 1) : 0;
    }
    static constexpr struct {
        const char* name;
        std::uintptr_t key;
    } named[] = {{"space", vk_space}, {"enter", vk_return},   {"escape", vk_escape},  {"up", vk_up},
                 {"down", vk_down},   {"left", vk_left},      {"right", vk_right},    {"plus", vk_oem_plus},
                 {"minus", vk_oem_minus}, {"ctrl", vk_control}, {"alt", vk_menu},      {"shift", vk_shift}};
    for (const auto& n : named)
        if (name == n.name)
            return n.key;
    return 0;
}

// "ctrl+plus": the keys in the order they go down.
bool read_keys(std::istringstream& words, std::vector<std::uintptr_t>& keys)
{
    std::string word;
    if (!(words >> word))
        return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t plus = word.find('+', start);
        const std::string part = word.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        const std::uintptr_t key = key_for(part);
        const bool last = plus == std::string::npos;
        const bool modifier = key == vk_control || key == vk_menu || key == vk_shift;
        if (key == 0 || (!last && !modifier))
            return false;
        keys.push_back(key);
        if (last)
            return true;
        start = plus + 1;
    }
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
    } else if (verb == "resize") {
        step.kind = ScriptStep::resize;
        ok = read_int(words, step.x, 0, max_client_side) && read_int(words, step.y, 0, max_client_side);
        problem = "expected 'resize W H' with W and H from 0 to 4096";
    } else if (verb == "key" || verb == "keydown" || verb == "keyup") {
        std::vector<std::uintptr_t> keys;
        problem = "expected '" + verb + " NAME' with NAME a key such as space, w, left, f11 or ctrl+plus";
        std::string extra;
        if (!read_keys(words, keys) || words >> extra)
            return false;
        if (verb != "keyup")
            for (const std::uintptr_t key : keys)
                steps.push_back({ScriptStep::key_down, key});
        if (verb != "keydown")
            for (auto key = keys.rbegin(); key != keys.rend(); ++key)
                steps.push_back({ScriptStep::key_up, *key});
        return true;
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
