// The toy's recording in a page: R starts it and stops it, as on the
// desktop, and it stops by itself after a minute. Each frame shown is drawn
// into a canvas of the view's size whose stream the browser's MediaRecorder
// encodes (WebM, lossy); the file is handed over as a download at the end.
// A browser without MediaRecorder says so in the title.
#include "capture/toy_recording.h"

#include <emscripten.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "display/display_window.h"
#include "keys/title_readout.h"
#include "platform/picture_files.h"
#include "platform/surface.h"
#include "sim/cell_field.h"

namespace {

bool recording = false;
std::int64_t frames = 0;
std::vector<std::uint8_t> rgba;

// clang-format off
EM_JS(bool, page_record_start, (int width, int height, const char* name), {
    if (typeof MediaRecorder === "undefined") return false;
    const canvas = document.createElement("canvas");
    canvas.width = width;
    canvas.height = height;
    if (!canvas.captureStream) return false;
    const stream = canvas.captureStream(0);
    const types = ["video/webm;codecs=vp9", "video/webm;codecs=vp8", "video/webm"];
    const type = types.find((t) => MediaRecorder.isTypeSupported(t));
    let recorder;
    try {
        recorder = new MediaRecorder(stream, type ? {mimeType: type, videoBitsPerSecond: 8000000} : {});
    } catch (e) {
        return false;
    }
    const parts = [];
    const file = UTF8ToString(name);
    recorder.ondataavailable = (e) => { if (e.data.size > 0) parts.push(e.data); };
    recorder.onstop = () => Module.modraDownload(new Blob(parts, {type: recorder.mimeType || "video/webm"}), file);
    recorder.start(1000);
    Module.modraRecording = {canvas, context: canvas.getContext("2d"), track: stream.getVideoTracks()[0], recorder};
    return true;
});

EM_JS(void, page_record_frame, (const void* pixels, int width, int height), {
    const r = Module.modraRecording;
    if (!r) return;
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    r.context.putImageData(new ImageData(bytes, width, height), 0, 0);
    if (r.track.requestFrame) r.track.requestFrame();
});

EM_JS(void, page_record_stop, (), {
    const r = Module.modraRecording;
    Module.modraRecording = null;
    if (r && r.recorder.state !== "inactive") r.recorder.stop();
});
// clang-format on

void take_frame()
{
    DrawSurface* back = display ? back_surface(*display) : nullptr;
    LockedPixels locked;
    if (!back || lock_surface(back, locked) < 0)
        return;
    rgba.resize(std::size_t{4} * locked.width * locked.height);
    std::uint8_t* out = rgba.data();
    for (std::uint32_t y = 0; y < locked.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(locked.pixels) +
                                                                 std::ptrdiff_t{locked.pitch} * y);
        for (std::uint32_t x = 0; x < locked.width; ++x, out += 4) {
            out[0] = static_cast<std::uint8_t>(row[x] >> 16);
            out[1] = static_cast<std::uint8_t>(row[x] >> 8);
            out[2] = static_cast<std::uint8_t>(row[x]);
            out[3] = 255;
        }
    }
    unlock_surface(back);
    page_record_frame(rgba.data(), static_cast<int>(locked.width), static_cast<int>(locked.height));
    ++frames;
}

void tell(WindowHandle window, const std::string& what)
{
    std::fprintf(stderr, "modra: %s\n", what.c_str());
    show_note(window, what);
}

}  // namespace

void end_toy_recording(WindowHandle window)
{
    if (!recording)
        return;
    recording = false;
    frame_shown_hook = nullptr;
    kill_timer(window, recording_timer);
    show_status(window, recording_status, "");
    page_record_stop();
    tell(window, "recorded " + std::to_string(frames) + " frames (downloaded as WebM)");
}

void toggle_toy_video(WindowHandle window, std::int32_t, std::int32_t)
{
    if (recording)
        return end_toy_recording(window);
    const std::string name = "modra-" + local_time_stamp() + ".webm";
    if (!page_record_start(field_width, field_height, name.c_str()))
        return tell(window, "this browser cannot record (no MediaRecorder)");
    recording = true;
    frames = 0;
    frame_shown_hook = take_frame;
    set_timer(window, recording_timer, 250);
    show_status(window, recording_status, "recording");
}

void toggle_toy_recording(WindowHandle window)
{
    if (recording)
        return end_toy_recording(window);
    tell(window, "a page records video alone: R");
}

bool toy_recording_timer(WindowHandle window, std::uintptr_t id)
{
    if (id != recording_timer)
        return false;
    if (frames >= recording_frames)
        end_toy_recording(window);
    return true;
}
