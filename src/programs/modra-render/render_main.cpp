// modra-render: the whole toy on the headless host — the same start-up,
// windows and main loop as modra, on a virtual clock, steered by a driver
// that plays the options and the pointer script as a user would, then
// writes what the toy shows.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/view_window.h"
#include "attract/attract.h"
#include "capture/recording.h"
#include "capture/toy_recording.h"
#include "display/display_window.h"
#include "iconbar/iconbar.h"
#include "listen/listen.h"
#include "modra_version.h"
#include "palette/palette_bank.h"
#include "platform/files/animation_writer.h"
#include "platform/files/image_file.h"
#include "platform/files/staged_file.h"
#include "platform/files/video_writer.h"
#include "platform/headless/headless_host.h"
#include "platform/headless/virtual_clock.h"
#include "platform/portable/events.h"
#include "platform/packed_text.h"
#include "platform/screen.h"
#include "platform/sound_file.h"
#include "programs/common/quoted.h"
#include "programs/common/toy_extras.h"
#include "programs/modra-render/render_checks.h"
#include "programs/modra-render/render_options.h"
#include "programs/modra-render/render_script.h"
#include "replay/replay.h"
#include "sim/cell_field.h"
#include "sim/drop.h"
#include "sim/random.h"
#include "slider/slider.h"

namespace {

constexpr int exit_usage = 2;
constexpr int exit_failed = 1;

struct Picture {
    std::vector<std::uint32_t> pixels;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Everything the driver needs between its calls from the host.
struct RenderRun {
    RenderOptions options;
    std::vector<ScriptStep> steps;
    std::size_t next_step = 0;
    bool set_up = false;
    bool script_done = false;
    bool finished = false;
    std::int64_t wait_until_us = -1;
    std::int64_t wait_until_frame = -1;
    std::int64_t final_frame = 0;
    std::uintptr_t buttons = 0;
    std::string error;
    CheckTally tally;

    // The recordings, written as the frames come; their files are staged
    // with the other outputs.
    std::unique_ptr<AnimationWriter, void (*)(AnimationWriter*)> recorders[2] = {{nullptr, nullptr},
                                                                                 {nullptr, nullptr}};
    VideoWriterPtr video{nullptr, nullptr};
    std::int64_t video_frames = 0;  // written, and so the sound's place

    SoundClip sound;  // --audio
    std::int64_t replay_at = -1;  // the frame a --replay link holds

    Picture picture;  // the back surface: the 640 x 480 field as drawn
    Picture window;   // the main window's client area
    std::vector<std::int32_t> field;
};

RenderRun run;

// File names are the user's own; quoted, they are cut only when absurdly long.
constexpr std::size_t path_limit = 240;

int fail(int code, const std::string& message)
{
    std::fprintf(stderr, "modra-render: %s\n", message.c_str());
    return code;
}

std::int64_t frames_so_far() { return cell_field.frame_count; }

void stop(const std::string& error)
{
    run.error = error;
    run.finished = true;
    inject_close();
}

bool record(void* writer, const RecordedFrame& frame, std::int32_t delay_ms, std::string& error)
{
    return write_animation_frame(*static_cast<AnimationWriter*>(writer), frame.indices, frame.palette, delay_ms,
                                 error);
}

// The sound of the frame to come first, from the frame's own time in the
// run on (silence past the sound's end), so that the two stay in step.
bool record_video(void*, const RecordedFrame& frame, std::int32_t, std::string& error)
{
    const SoundClip& sound = run.sound;
    if (!sound.samples.empty()) {
        const std::int64_t n = run.options.record_from + run.video_frames;
        const std::int64_t from = n * sound.rate / 60, to = (n + 1) * sound.rate / 60;
        const std::int64_t heard = std::clamp<std::int64_t>(sound.frames() - from, 0, to - from);
        if (!write_video_sound(*run.video, sound.samples.data() + from * sound.channels, heard, error))
            return false;
        if (heard < to - from) {
            const std::vector<float> silence(static_cast<std::size_t>((to - from - heard) * sound.channels), 0.0f);
            if (!write_video_sound(*run.video, silence.data(), to - from - heard, error))
                return false;
        }
    }
    ++run.video_frames;
    return write_video_frame(*run.video, frame.indices, frame.palette, error);
}

void start_recordings()
{
    RecordingOutput outputs[max_recording_outputs];
    int count = 0;
    for (int i = 0; i < 2; ++i)
        if (run.recorders[i])
            outputs[count++] = {i == 0, record, run.recorders[i].get()};
    if (run.video)
        outputs[count++] = {false, record_video, nullptr};
    if (count > 0)
        start_recording(outputs, count, run.options.record_from, 0, true);
}

// The options, applied through the controls the user would have used.
void set_up()
{
    if (run.options.seed)
        seed_random(*run.options.seed);
    if (run.options.palette && *run.options.palette >= palette_bank.count)
        return stop("--palette takes 0.." + std::to_string(palette_bank.count - 1) + ", not " +
                    std::to_string(*run.options.palette));
    if (run.options.width != 710 || run.options.height != 580)
        inject_resize(run.options.width, run.options.height);
    set_zoom(run.options.zoom);
    // As a hand on the controls, so that a replay kept of the run has them.
    if (run.options.rule == 1)
        act({HandAction::rule, 1});
    act({HandAction::parameter, run.options.parameter});
    if (run.options.palette)
        act({HandAction::palette, *run.options.palette});
    for (const Drop& drop : run.options.drops)
        act({HandAction::drop, drop.row, drop.column});
    // Repainted before the first frame, so that a run of no frames shows the drops.
    invalidate(view_window, nullptr, false);
    if (run.options.attract)
        attract_from_start(run.options.seed.value_or(1));
    if (!run.options.audio.empty())
        listen_to_clip(run.sound, run.options.seed.value_or(1));
    start_recordings();
}

void play(const ScriptStep& step)
{
    const Point at{step.x, step.y};
    switch (step.kind) {
    case ScriptStep::press:
        run.buttons |= step.button;
        inject_pointer(step.button == mk_lbutton ? wm_lbuttondown : wm_rbuttondown, at, run.buttons);
        break;
    case ScriptStep::release:
        run.buttons &= ~step.button;
        inject_pointer(step.button == mk_lbutton ? wm_lbuttonup : wm_rbuttonup, at, run.buttons);
        break;
    case ScriptStep::move:
        inject_pointer(wm_mousemove, at, run.buttons);
        break;
    case ScriptStep::wait:
        run.wait_until_us = virtual_clock_now() + step.amount * 1000;
        break;
    case ScriptStep::frames:
        run.wait_until_frame = frames_so_far() + step.amount;
        break;
    case ScriptStep::resize:
        inject_resize(step.x, step.y);
        break;
    case ScriptStep::key_down:
    case ScriptStep::key_up:
        inject_key(step.button, step.kind == ScriptStep::key_down);
        break;
    }
}

// Called whenever the toy looks for input: the script's next lines are
// handed over once what they wait for has happened.
void on_poll()
{
    if (run.finished)
        return;
    if (run.options.check)
        count_frames(run.tally);
    if (!run.set_up) {
        run.set_up = true;
        set_up();
        if (run.finished)
            return;
    }
    for (;;) {
        if (run.wait_until_us >= 0 && virtual_clock_now() < run.wait_until_us)
            return;
        if (run.wait_until_frame >= 0 && frames_so_far() < run.wait_until_frame)
            return;
        if (run.wait_until_frame >= 0 && run.options.check)
            if (std::string fault = check_now(run.tally); !fault.empty())
                return stop(fault);
        run.wait_until_us = run.wait_until_frame = -1;
        if (run.next_step == run.steps.size())
            break;
        play(run.steps[run.next_step++]);
    }
    if (!run.script_done) {
        run.script_done = true;
        run.final_frame = frames_so_far() + run.options.frames.value_or(run.steps.empty() ? 1 : 0);
        // A replay to its end (the frames the session had), or to the frame its link holds.
        if (!run.options.replay.empty())
            run.final_frame = run.options.frames.value_or(run.replay_at >= 0 ? run.replay_at : replay_length());
        // A sound is heard to its end, however long the script took.
        if (!run.options.frames && !run.options.audio.empty())
            run.final_frame = std::max(frames_so_far(), frames_of(run.sound));
    }
}

Picture copy_picture(const std::uint32_t* pixels, std::int32_t width, std::int32_t height, std::int32_t pitch)
{
    Picture p{std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height), width, height};
    for (std::int32_t y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) +
                                                                 static_cast<std::ptrdiff_t>(y) * pitch);
        std::copy(row, row + width, p.pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }
    return p;
}

Picture read_back_surface()
{
    LockedPixels locked;
    DrawSurface* back = display ? back_surface(*display) : nullptr;
    if (!back || lock_surface(back, locked) < 0)
        return {};
    Picture p = copy_picture(locked.pixels, static_cast<std::int32_t>(locked.width),
                             static_cast<std::int32_t>(locked.height), locked.pitch);
    unlock_surface(back);
    return p;
}

// As shown on the screen: at the zoom, each pixel a square.
Picture read_window()
{
    const Framebuffer f = top_level_framebuffer();
    const std::int32_t z = zoom();
    Picture p{std::vector<std::uint32_t>(static_cast<std::size_t>(f.width) * z * f.height * z), f.width * z,
              f.height * z};
    if (!p.pixels.empty())
        copy_zoomed(f, {0, 0, f.width, f.height}, z, p.pixels.data(), p.width * 4);
    return p;
}

// Called when everything queued has been handled: the moment to take the
// pictures, then to close the window as a user would.
void on_idle()
{
    if (run.finished || !run.script_done || frames_so_far() < run.final_frame)
        return;
    if (run.options.check)
        if (std::string fault = check_now(run.tally); !fault.empty())
            return stop(fault);
    run.picture = read_back_surface();
    run.window = read_window();
    const Grid& cells = cell_field.buffers[cell_field.current];
    run.field.assign(cells.begin(), cells.end());
    stop(run.picture.pixels.empty() ? "cannot read the picture from the display" : "");
}

bool write_field(std::FILE* file, const std::vector<std::int32_t>& cells)
{
    std::vector<std::uint8_t> bytes(cells.size() * 4);
    for (std::size_t i = 0; i < cells.size(); ++i)
        for (int b = 0; b < 4; ++b)
            bytes[4 * i + b] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(cells[i]) >> (8 * b));
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool write_picture(StagedFile& staged, const Picture& p)
{
    ImageFormat format = ImageFormat::png;
    image_format_for(staged.path, format);
    return write_image(staged.file, format, p.pixels.data(), p.width, p.height, p.width * 4);
}

bool cannot_write(const StagedFile& staged, const std::string& why, std::string& error)
{
    error = "cannot write " + quoted(staged.path, path_limit) + ": " + why;
    return false;
}

// --out, --window, --dump-field, then the recordings, then the replay.
constexpr int gif_output = 3, webp_output = 4, video_output = 5, keep_output = 6, output_count = 7;
bool is_recording(int output) { return output >= gif_output && output <= video_output; }

// Every output is written and closed before any is put in place, so that a
// failure anywhere (a full disk among them) leaves none of them behind.
bool write_outputs(StagedFile (&files)[output_count], std::string& error)
{
    std::string recorded;
    if (!stop_recording(recorded))
        for (int i = gif_output; i <= video_output; ++i)
            if (files[i].file)
                return cannot_write(files[i], recorded, error);
    for (int i = 0; i < output_count; ++i) {
        if (!files[i].file)
            continue;
        errno = 0;
        if (i == keep_output) {
            std::string text, packed;
            if (!kept_replay(text, error) || !pack_text(text, packed, error))
                return cannot_write(files[i], error, error);
            packed += '\n';
            if (std::fwrite(packed.data(), 1, packed.size(), files[i].file) != packed.size())
                return cannot_write(files[i], std::strerror(errno ? errno : EIO), error);
        } else if (i == video_output) {
            if (!close_video_writer(*run.video, error))
                return cannot_write(files[i], error, error);
        } else if (is_recording(i)) {
            if (!close_animation_writer(*run.recorders[i - gif_output], error))
                return cannot_write(files[i], error, error);
        } else if (!(i == 2 ? write_field(files[i].file, run.field)
                            : write_picture(files[i], i == 0 ? run.picture : run.window))) {
            return cannot_write(files[i], std::strerror(errno ? errno : EIO), error);
        }
        if (!close_staged(files[i], error))
            return cannot_write(files[i], error, error);
    }
    for (int i = 0; i < output_count; ++i) {
        if (commit_staged(files[i], error))
            continue;
        for (int j = 0; j < i; ++j)
            if (!files[j].path.empty() && !files[j].in_place)
                std::remove(files[j].path.c_str());
        return cannot_write(files[i], error, error);
    }
    return true;
}

VideoSettings video_settings()
{
    VideoSettings v;
    v.format = run.options.video_format;
    v.width = field_width;
    v.height = field_height;
    v.scale = run.options.scale;
    v.quality = run.options.quality.value_or(-1);
    v.sound_rate = run.sound.rate;
    v.sound_channels = run.sound.channels;
    return v;
}

// A replay file, a few kilobytes: a hundred megabytes is no replay.
bool read_whole_file(const std::string& name, std::string& bytes, std::string& error)
{
    std::error_code ec;
    if (std::filesystem::is_directory(name, ec)) {
        error = "it is a folder";
        return false;
    }
    std::ifstream in(name, std::ios::binary);
    if (!in.is_open()) {
        error = std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    if (bytes.size() > (100u << 20)) {
        error = "it is too big for a replay";
        return false;
    }
    return true;
}

bool read_script(const std::string& name, std::string& error)
{
    if (name.empty())
        return true;
    if (name == "-")
        return parse_script(std::cin, run.steps, error);
    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(name, ec))
        in.open(name, std::ios::binary);
    if (!in.is_open()) {
        error = "cannot read the script " + quoted(name, path_limit) + ": " +
                (std::filesystem::is_directory(name, ec) ? "it is a folder" : std::strerror(errno));
        return false;
    }
    return parse_script(in, run.steps, error);
}

void discard_all(StagedFile* files, int n)
{
    for (int i = 0; i < n; ++i)
        discard_staged(files[i]);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (std::string e = parse_render_options({argv + 1, argv + argc}, run.options); !e.empty())
        return fail(exit_usage, e);
    if (run.options.help) {
        std::fputs(render_usage, stdout);
        return 0;
    }
    if (run.options.version) {
        std::puts("modra-render " MODRA_VERSION);
        return 0;
    }
    if (!read_script(run.options.script, error))
        return fail(exit_usage, error);
    if (!run.options.audio.empty() && !read_sound_file(run.options.audio, run.sound, error))
        return fail(exit_usage, "cannot read the sound " + quoted(run.options.audio, path_limit) + ": " + error);
    if (!run.options.replay.empty()) {
        Replay replay;
        const std::string& given = run.options.replay;
        std::string packed = given;
        if (given.find("#replay=") == std::string::npos && !read_whole_file(given, packed, error))
            return fail(exit_usage, "cannot read the replay " + quoted(given, path_limit) + ": " + error);
        if (!read_packed_replay(packed, replay, run.replay_at, error))
            return fail(exit_usage, "cannot play the replay " + quoted(given, path_limit) + ": " + error);
        play_replay(replay);
    }

    // Every output is opened before the run, so that a bad path fails at
    // once and no half-written file is ever left behind.
    StagedFile files[output_count];
    const std::string* names[output_count] = {&run.options.out,  &run.options.window, &run.options.dump_field,
                                              &run.options.gif,  &run.options.webp,   &run.options.video,
                                              &run.options.keep};
    for (int i = 0; i < output_count; ++i) {
        if (names[i]->empty())
            continue;
        if (open_staged(files[i], *names[i], error) && i == video_output) {
            run.video = open_video_writer(files[i].file, video_settings(), error);
            if (run.video)
                continue;
        } else if (files[i].file && is_recording(i)) {
            const AnimationFormat format = i == gif_output ? AnimationFormat::gif : AnimationFormat::webp;
            auto& recorder = run.recorders[i - gif_output];
            recorder = open_animation_writer(files[i].file, format, field_width, field_height, error);
            if (recorder)
                continue;
        } else if (files[i].file) {
            continue;
        }
        cannot_write(files[i], error, error);
        discard_all(files, output_count);
        return fail(exit_usage, error);
    }

    // The main loop spins out the last moments before each frame by reading
    // the clock, so reading it must take a little virtual time.
    set_clock_read_cost(1);
    headless_host().quiet = true;
    headless_host().driver = {on_poll, on_idle};
    headless_host().screen = {0, 0, run.options.screen_width, run.options.screen_height};
    enable_toy_extras();
    wait_for_the_encoder();
    app_main();

    if (!run.finished || !run.error.empty()) {
        std::string ignored;
        stop_recording(ignored);
        discard_all(files, output_count);
        if (run.finished)
            return fail(run.error.rfind("--", 0) == 0 ? exit_usage : exit_failed, run.error);
        const HeadlessHost& host = headless_host();
        return fail(exit_failed, "the toy did not start" +
                                     (host.message_boxes ? ": " + host.box_title + ": " + host.box_text : ""));
    }
    if (!write_outputs(files, error)) {
        discard_all(files, output_count);
        return fail(exit_usage, error);
    }
    if (run.options.check)
        std::printf("modra-render: %s\n", describe(run.tally).c_str());
    return 0;
}
