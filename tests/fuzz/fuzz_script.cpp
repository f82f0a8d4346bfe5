// modra-render's script reader on arbitrary bytes: a refusal names the first bad line in one plain line; an
// accepted script gives steps each within its range, which written back out read the same.
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

// Each step within the range its kind allows.
void check_ranges(const std::vector<ScriptStep>& steps)
{
    for (const ScriptStep& s : steps) {
        switch (s.kind) {
        case ScriptStep::press:
        case ScriptStep::release:
            FUZZ_CHECK(s.button == mk_lbutton || s.button == mk_rbutton);
            [[fallthrough]];
        case ScriptStep::move:
            FUZZ_CHECK(s.x >= -32768 && s.x <= 32767 && s.y >= -32768 && s.y <= 32767);
            break;
        case ScriptStep::resize: FUZZ_CHECK(s.x >= 0 && s.x <= 4096 && s.y >= 0 && s.y <= 4096); break;
        case ScriptStep::wait:
        case ScriptStep::frames: FUZZ_CHECK(s.amount >= 0 && s.amount <= 100'000'000); break;
        case ScriptStep::key_down:
        case ScriptStep::key_up: key_name(s.button); break;  // a key with a name
        }
    }
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
    check_ranges(first.steps);
    const Parsed again = parse(written(first.steps));
    FUZZ_CHECK(again.ok && again.steps.size() == first.steps.size());
    for (std::size_t i = 0; i < first.steps.size(); ++i) FUZZ_CHECK(same(again.steps[i], first.steps[i]));
    return 0;
}
