#include "programs/modra-render/render_checks.h"

#include "app/flags.h"
#include "app/layout.h"
#include "palette/palette_bank.h"
#include "platform/headless/resident_memory.h"
#include "platform/portable/events.h"
#include "sim/cell_field.h"
#include "slider/slider.h"

namespace {

std::string out_of_range(const char* what, std::int32_t value, std::int32_t low, std::int32_t high)
{
    return std::string(what) + " is " + std::to_string(value) + ", outside " + std::to_string(low) + ".." +
           std::to_string(high);
}

std::string check_slider(const Slider& slider, const char* name, std::int32_t low, std::int32_t high)
{
    if (slider.minimum != low || slider.maximum != high)
        return std::string(name) + " slider's range is " + std::to_string(slider.minimum) + ".." +
               std::to_string(slider.maximum) + ", not " + std::to_string(low) + ".." + std::to_string(high);
    if (slider.value < low || slider.value > high)
        return out_of_range((std::string(name) + " slider's value").c_str(), slider.value, low, high);
    return {};
}

}  // namespace

std::string check_toy_state()
{
    for (int b = 0; b < 2; ++b) {
        const Grid& cells = cell_field.buffers[b];
        for (int row = 0; row < grid_height; ++row)
            for (int column = 0; column < grid_width; ++column) {
                const std::int32_t v = cells[cell_index(row, column)];
                const bool border = row == 0 || column == 0 || row == grid_height - 1 || column == grid_width - 1;
                if (border ? v == 0 : v >= 0 && v <= cell_max)
                    continue;
                const std::string where = "buffer " + std::to_string(b) + " cell (" + std::to_string(row) + ", " +
                                          std::to_string(column) + ")";
                return border ? where + " on the border is " + std::to_string(v)
                              : out_of_range(where.c_str(), v, 0, cell_max);
            }
    }
    if (std::string e = check_slider(sliders[0], "the parameter", parameter_min, parameter_max); !e.empty())
        return e;
    if (std::string e = check_slider(sliders[1], "the palette", 0, palette_bank.count - 1); !e.empty())
        return e;
    if (sim_mode.parameter != sliders[0].value)
        return "the rule parameter is " + std::to_string(sim_mode.parameter) + " but its slider shows " +
               std::to_string(sliders[0].value);
    if (sim_mode.mode != 0 && sim_mode.mode != 1)
        return out_of_range("the rule", sim_mode.mode, 0, 1);
    return {};
}

void count_frames(CheckTally& tally)
{
    const std::int64_t frames = cell_field.frame_count - tally.frames;
    tally.frames = cell_field.frame_count;
    (paused ? tally.paused_frames : tally.rule_frames[sim_mode.mode == 1]) += frames;
}

std::string check_now(CheckTally& tally)
{
    count_frames(tally);
    ++tally.checks;
    // The framebuffer follows the window, so memory is compared at one size.
    const Framebuffer window = top_level_framebuffer();
    if (window.width == client_width && window.height == client_height && tally.frames >= settled_frames) {
        tally.last_kib = resident_kib();
        if (tally.settled_kib < 0)
            tally.settled_kib = tally.last_kib;
    }
    std::string fault = check_toy_state();
    return fault.empty() ? fault : "check failed at frame " + std::to_string(tally.frames) + ": " + fault;
}

std::string describe(const CheckTally& t)
{
    std::string line = "checked " + std::to_string(t.checks) + " times over " + std::to_string(t.frames) +
                       " frames (diffusion " + std::to_string(t.rule_frames[0]) + ", wave " +
                       std::to_string(t.rule_frames[1]) + ", paused " + std::to_string(t.paused_frames) +
                       "): all held";
    if (t.settled_kib < 0)
        return line;
    return line + "; resident memory at the window's usual size " + std::to_string(t.settled_kib) +
           " KiB after frame " + std::to_string(settled_frames) + ", " + std::to_string(t.last_kib) +
           " KiB at the end";
}
