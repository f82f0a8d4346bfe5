// modra-render: the toy's field run from its start pattern without a window,
// for stills and for exact checks.
#include <cstdio>
#include <string>
#include <vector>

#include "app/render_options.h"
#include "palette/palette.h"
#include "palette/palette_bank.h"
#include "platform/clock.h"
#include "platform/headless/image_file.h"
#include "platform/headless/staged_file.h"
#include "sim/cell_field.h"
#include "sim/drop.h"
#include "sim/frozen.h"
#include "sim/random.h"
#include "sim/rules.h"

namespace {

constexpr int exit_usage = 2;
constexpr std::int32_t picture_pitch = field_width * 4;

int fail(const std::string& message)
{
    std::fprintf(stderr, "modra-render: %s\n", message.c_str());
    return exit_usage;
}

bool write_field(std::FILE* file)
{
    const Grid& cells = cell_field.buffers[cell_field.current];
    std::vector<std::uint8_t> bytes(cells.size() * 4);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto v = static_cast<std::uint32_t>(cells[i]);
        for (int b = 0; b < 4; ++b)
            bytes[4 * i + b] = static_cast<std::uint8_t>(v >> (8 * b));
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

int render(const RenderOptions& options)
{
    // Start-up order matters: the bank's generated palettes take the first
    // random draws, before the seed is set.
    build_palette_bank();
    reset_field();
    seed_random(options.seed ? *options.seed : tick_count());
    if (options.palette && *options.palette >= palette_bank.count)
        return fail("--palette takes 0.." + std::to_string(palette_bank.count - 1) + ", not " +
                    std::to_string(*options.palette));

    // Open every output before the run, so a bad path fails at once and no
    // half-written file is ever left behind.
    StagedFile picture_file;
    StagedFile field_file;
    std::string error;
    if ((!options.out.empty() && !open_staged(picture_file, options.out, error)) ||
        (!options.dump_field.empty() && !open_staged(field_file, options.dump_field, error))) {
        discard_staged(picture_file);
        return fail(error);
    }

    set_mode(options.rule);
    sim_mode.parameter = options.parameter;
    if (options.palette) {
        set_preview_palette(*options.palette);
        set_target_palette(*options.palette);
    }
    for (const Drop& drop : options.drops)
        stamp_drop(drop.row, drop.column, 10);

    std::vector<std::uint32_t> picture(static_cast<std::size_t>(field_width) * field_height);
    if (options.frames == 0)
        draw_frozen(picture.data(), picture_pitch, field_width, field_height);
    for (std::int32_t i = 0; i < options.frames; ++i) {
        count_tick();
        step_field(sim_mode, picture.data(), picture_pitch);
        fade_step();
    }

    bool ok = true;
    if (picture_file.file) {
        ImageFormat format = ImageFormat::png;
        image_format_for(options.out, format);
        ok = write_image(picture_file.file, format, picture.data(), field_width, field_height, picture_pitch);
    }
    if (ok && field_file.file)
        ok = write_field(field_file.file);
    if (!ok) {
        discard_staged(picture_file);
        discard_staged(field_file);
        return fail("cannot write the output: " + std::string(picture_file.path.empty() ? field_file.path
                                                                                         : picture_file.path));
    }
    if ((picture_file.file && !commit_staged(picture_file, error)) ||
        (field_file.file && !commit_staged(field_file, error))) {
        discard_staged(field_file);
        return fail(error);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    RenderOptions options;
    if (std::string error = parse_render_options({argv + 1, argv + argc}, options); !error.empty())
        return fail(error);
    if (options.help) {
        std::fputs(render_usage, stdout);
        return 0;
    }
    return render(options);
}
