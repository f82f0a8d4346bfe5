// The toy's recording in a page: R starts it and stops it, as on the
// desktop, and it stops by itself after a minute. Each frame shown is drawn
// into a canvas of the view's size whose stream the browser's MediaRecorder
// encodes, as MP4 where it can and WebM elsewhere (lossy either way), with
// the sound being heard if it starts while listening; the file is handed
// over as a download at the end. A browser without MediaRecorder says so in
// the title.
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

// What page_record_start made of it: nothing, or a recording and how.
enum Recorded : int {
    cannot = -1,
    webm = 0,
    mp4 = 1,
    with_sound = 2,
};

bool recording = false;
std::int64_t frames = 0;
int recorded = webm;
std::vector<std::uint8_t> rgba;

// clang-format off
// The sound is what listening (platform/web/sound_input.cpp) keeps at
// Module.modraListening, the two sides' only meeting point.
EM_JS(int, page_record_start, (int width, int height, const char* stem), {
    if (typeof MediaRecorder === "undefined") return -1;
    const canvas = document.createElement("canvas");
    canvas.width = width;
    canvas.height = height;
    if (!canvas.captureStream) return -1;
    const stream = canvas.captureStream(0);
    const listening = Module.modraListening;
    const heard = listening ? listening.getAudioTracks().filter((t) => t.readyState === "live") : [];
    heard.forEach((t) => stream.addTrack(t));
    // MP4 plays nearly everywhere; AAC with it where the browser has it, Opus else.
    const kinds = [["mp4", "avc1.640028", "mp4a.40.2"], ["mp4", "avc1", "mp4a.40.2"], ["mp4", "avc1.640028", "opus"],
                   ["mp4", "avc1", "opus"], ["webm", "vp9", "opus"], ["webm", "vp8", "opus"]];
    const types = kinds.map(([c, v, a]) => "video/" + c + ";codecs=" + (heard.length ? v + "," + a : v));
    const type = types.concat(["video/mp4", "video/webm"]).find((t) => MediaRecorder.isTypeSupported(t));
    let recorder;
    try {
        recorder = new MediaRecorder(stream, type ? {mimeType: type, videoBitsPerSecond: 8000000} : {});
        recorder.start(1000);
    } catch (e) {
        return -1;
    }
    const mp4 = (recorder.mimeType || type || "").startsWith("video/mp4");
    const parts = [];
    const file = UTF8ToString(stem) + (mp4 ? ".mp4" : ".webm");
    recorder.ondataavailable = (e) => { if (e.data.size > 0) parts.push(e.data); };
    recorder.onstop = () => Module.modraDownload(new Blob(parts, {type: recorder.mimeType || "video/webm"}), file);
    Module.modraRecording = {canvas, context: canvas.getContext("2d"), track: stream.getVideoTracks()[0], recorder};
    return (mp4 ? 1 : 0) | (heard.length ? 2 : 0);
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
    const char* how = (recorded & mp4) ? "MP4" : "WebM";
    tell(window, "recorded " + std::to_string(frames) + " frames (downloaded as " + how +
                     ((recorded & with_sound) ? ", with the sound)" : ")"));
}

// The page's side finds the sound heard for itself.
void toggle_toy_video(WindowHandle window, std::int32_t, std::int32_t)
{
    if (recording)
        return end_toy_recording(window);
    const std::string stem = "modra-" + local_time_stamp();
    recorded = page_record_start(field_width, field_height, stem.c_str());
    if (recorded == cannot)
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

void wait_for_the_encoder() {}

bool toy_recording_timer(WindowHandle window, std::uintptr_t id)
{
    if (id != recording_timer)
        return false;
    if (frames >= recording_frames)
        end_toy_recording(window);
    return true;
}
