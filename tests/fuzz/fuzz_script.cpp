// modra-render's script reader on arbitrary bytes: a refusal names the first bad line in one plain line; an
// accepted script gives the steps its lines say, each within its range, and written back out reads the same.
#include <cctype>
#include <sstream>

#include "programs/modra-render/render_script.h"
#include "fuzz_support.h"
#include "platform/window.h"

namespace {

struct Parsed {
    bool ok;
    std::vector<ScriptStep> steps;
    std::string error;
};

Parsed parse(const std::string& text)
{
    std::istringstream in(text);
    Parsed p{false, {}, {}};
    p.ok = parse_script(in, p.steps, p.error);
    return p;
}

bool same(const ScriptStep& a, const ScriptStep& b)
{
    return a.kind == b.kind && a.button == b.button && a.x == b.x && a.y == b.y && a.amount == b.amount;
}

// The lines as std::getline sees them: a final newline ends the last line rather than starting one.
std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += lines[i] + "\n";
    return text;
}

void check_refusal(const std::string& text, const std::string& error)
{
    FUZZ_CHECK(is_message_line(error, "script line "));
    const std::vector<std::string> lines = lines_of(text);
    std::size_t number = 0;
    std::size_t digits = 0;
    const char* after = error.c_str() + 12;
    while (after[digits] >= '0' && after[digits] <= '9' && digits < 9) number = number * 10 + (after[digits++] - '0');
    FUZZ_CHECK(digits > 0 && after[0] != '0' && after[digits] == ':' && number <= lines.size());
    // Every line before it is good, and it is bad on its own for the same reason.
    FUZZ_CHECK(parse(joined(lines, number - 1)).ok);
    const Parsed alone = parse(lines[number - 1]);
    FUZZ_CHECK(!alone.ok && alone.error == "script line 1" + std::string(after + digits));
}

// The name a script writes for a key.
std::string key_name(std::uintptr_t key)
{
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
    if (key >= vk_f1 && key < vk_f1 + 12) return "f" + std::to_string(key - vk_f1 + 1);
    static const std::pair<std::uintptr_t, const char*> named[] = {
        {vk_space, "space"}, {vk_return, "enter"}, {vk_escape, "escape"}, {vk_up, "up"}, {vk_down, "down"},
        {vk_left, "left"}, {vk_right, "right"}, {vk_oem_plus, "plus"}, {vk_oem_minus, "minus"},
        {vk_control, "ctrl"}, {vk_menu, "alt"}, {vk_shift, "shift"}};
    for (const auto& [k, name] : named)
        if (k == key) return name;
    FUZZ_CHECK(!"a key with no name");
    return {};
}

bool is_modifier(std::uintptr_t key) { return key == vk_control || key == vk_menu || key == vk_shift; }

// A key line: its keys go down in order and come up the other way round, all but the last modifiers.
std::size_t check_key_line(const std::vector<std::string>& words, const std::vector<ScriptStep>& steps,
                           std::size_t next)
{
    FUZZ_CHECK(words.size() == 2);
    std::vector<std::string> names;
    for (std::size_t start = 0;;) {
        const std::size_t plus = words[1].find('+', start);
        names.push_back(words[1].substr(start, plus == std::string::npos ? plus : plus - start));
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    const bool down = words[0] != "keyup", up = words[0] != "keydown";
    const std::size_t n = names.size();
    FUZZ_CHECK(next + n * (down + up) <= steps.size());
    for (std::size_t i = 0; i < n * (down + up); ++i) {
        const ScriptStep& s = steps[next + i];
        const bool going_down = down && i < n;
        const std::size_t which = going_down ? i : n - 1 - (i - (down ? n : 0));
        FUZZ_CHECK(s.kind == (going_down ? ScriptStep::key_down : ScriptStep::key_up));
        FUZZ_CHECK(s.x == 0 && s.y == 0 && s.amount == 0 && s.button != 0);
        FUZZ_CHECK(is_modifier(s.button) || which == n - 1);
        std::string written = names[which];
        for (char& c : written) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::string named = key_name(s.button);
        for (char& c : named) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        FUZZ_CHECK(written == named || (written == "RETURN" && s.button == vk_return));
    }
    return next + n * (down + up);
}

// What each line should have made: the verb, the button, and numbers exactly as written.
void check_steps(const std::string& text, const std::vector<ScriptStep>& steps)
{
    std::size_t next = 0;
    for (const std::string& line : lines_of(text)) {
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string word; in >> word;) words.push_back(word);
        if (words.empty() || words[0][0] == '#') continue;
        const std::string& verb = words[0];
        if (verb == "key" || verb == "keydown" || verb == "keyup") {
            next = check_key_line(words, steps, next);
            continue;
        }
        const std::uintptr_t button = words.size() > 1 && words[1] == "left" ? mk_lbutton : mk_rbutton;
        std::vector<std::pair<ScriptStep::Kind, std::uintptr_t>> made;
        if (verb == "click") made = {{ScriptStep::press, mk_lbutton}, {ScriptStep::release, mk_lbutton}};
        else if (verb == "press") made = {{ScriptStep::press, button}};
        else if (verb == "release") made = {{ScriptStep::release, button}};
        else if (verb == "move") made = {{ScriptStep::move, 0}};
        else if (verb == "wait") made = {{ScriptStep::wait, 0}};
        else if (verb == "frames") made = {{ScriptStep::frames, 0}};
        else if (verb == "resize") made = {{ScriptStep::resize, 0}};
        FUZZ_CHECK(!made.empty());
        const bool pointer = verb != "wait" && verb != "frames";
        const std::size_t numbers_at = verb == "press" || verb == "release" ? 2 : 1;
        FUZZ_CHECK(words.size() == numbers_at + (pointer ? 2 : 1));
        for (const auto& [kind, expected_button] : made) {
            FUZZ_CHECK(next < steps.size());
            const ScriptStep& s = steps[next++];
            FUZZ_CHECK(s.kind == kind && s.button == expected_button);
            if (pointer) {
                const std::int32_t low = verb == "resize" ? 0 : -32768, high = verb == "resize" ? 4096 : 32767;
                FUZZ_CHECK(s.x >= low && s.x <= high && s.y >= low && s.y <= high && s.amount == 0);
                FUZZ_CHECK(canonical_number(words[numbers_at]) == std::to_string(s.x));
                FUZZ_CHECK(canonical_number(words[numbers_at + 1]) == std::to_string(s.y));
            } else {
                FUZZ_CHECK(s.x == 0 && s.y == 0 && s.amount >= 0 && s.amount <= 100'000'000);
                FUZZ_CHECK(canonical_number(words[numbers_at]) == std::to_string(s.amount));
            }
        }
    }
    FUZZ_CHECK(next == steps.size());
}

std::string written(const std::vector<ScriptStep>& steps)
{
    static const char* const verbs[] = {"press", "move", "release", "wait", "frames", "resize", "keydown", "keyup"};
    std::string text;
    for (const ScriptStep& s : steps) {
        text += verbs[s.kind];
        if (s.kind == ScriptStep::key_down || s.kind == ScriptStep::key_up) {
            text += " " + key_name(s.button) + "\n";
            continue;
        }
        if (s.kind == ScriptStep::press || s.kind == ScriptStep::release)
            text += s.button == mk_lbutton ? " left" : " right";
        if (s.kind == ScriptStep::wait || s.kind == ScriptStep::frames)
            text += " " + std::to_string(s.amount);
        else
            text += " " + std::to_string(s.x) + " " + std::to_string(s.y);
        text += "\n";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Parsed first = parse(text);
    if (!first.ok) {
        check_refusal(text, first.error);
        return 0;
    }
    check_steps(text, first.steps);
    const Parsed again = parse(written(first.steps));
    FUZZ_CHECK(again.ok && again.steps.size() == first.steps.size());
    for (std::size_t i = 0; i < first.steps.size(); ++i) FUZZ_CHECK(same(again.steps[i], first.steps[i]));
    return 0;
}
