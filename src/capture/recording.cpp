#include "capture/recording.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "app/main_loop.h"
#include "palette/palette.h"

namespace {

// Enough slots to ride out an encoder's slow frame (a video's key frame)
// without holding the toy: half a second.
constexpr int slot_count = 30;

struct Recorder {
    RecordingOutput outputs[max_recording_outputs];
    int output_count = 0;
    std::int64_t skip = 0;
    std::int64_t max_frames = 0;
    std::int64_t seen = 0;  // frames shown since the start, skipped ones too
    std::unique_ptr<RecordedFrame[]> slots;
    std::int64_t frame_of_slot[slot_count] = {};  // which frame since the skip each slot holds
    std::int64_t queued = 0, written = 0;         // slots filled, slots handed out
    bool ending = false;
    bool wait_for_room = true;
    bool behind = false;  // a frame found no room, and the recording ends there
    bool failed = false;
    std::string error;
    std::mutex lock;
    std::condition_variable space, work;
    std::thread worker;
};

Recorder* recorder = nullptr;

constexpr std::int32_t gif_delays[3] = {30, 30, 40};
constexpr std::int32_t webp_delays[3] = {16, 17, 17};

void encode()
{
    Recorder& r = *recorder;
    for (;;) {
        std::unique_lock<std::mutex> hold(r.lock);
        r.work.wait(hold, [&] { return r.written < r.queued || r.ending; });
        if (r.written == r.queued)
            return;
        const RecordedFrame& frame = r.slots[r.written % slot_count];
        const std::int64_t n = r.frame_of_slot[r.written % slot_count];
        const bool failed = r.failed;
        hold.unlock();
        std::string error;
        for (int i = 0; i < r.output_count && !failed; ++i) {
            const RecordingOutput& out = r.outputs[i];
            const bool gif = out.every_second;
            if (gif && n % 2 != 0)
                continue;
            const std::int32_t delay = gif ? gif_delays[(n / 2) % 3] : webp_delays[n % 3];
            if (!out.add(out.context, frame, delay, error)) {
                std::lock_guard<std::mutex> note(r.lock);
                r.failed = true;
                r.error = error;
                break;
            }
        }
        hold.lock();
        ++r.written;
        r.space.notify_one();
    }
}

// After each frame shown, before the palette fades a step: the view holds
// exactly the present cells through the displayed palette.
void take_frame()
{
    Recorder& r = *recorder;
    const std::int64_t n = r.seen++ - r.skip;
    if (n < 0 || (r.max_frames > 0 && n >= r.max_frames))
        return;
    std::unique_lock<std::mutex> hold(r.lock);
    if (r.failed || r.behind)
        return;
    if (!r.wait_for_room && r.queued - r.written >= slot_count) {
        r.behind = true;
        return;
    }
    r.space.wait(hold, [&] { return r.queued - r.written < slot_count; });
    const std::int64_t slot = r.queued % slot_count;
    hold.unlock();
    RecordedFrame& frame = r.slots[slot];
    const Grid& cells = cell_field.buffers[cell_field.current];
    for (int y = 0; y < field_height; ++y) {
        const std::int32_t* row = cells.data() + cell_index(y + 1, 1);
        std::uint8_t* out = frame.indices + static_cast<std::ptrdiff_t>(y) * field_width;
        for (int x = 0; x < field_width; ++x)
            out[x] = static_cast<std::uint8_t>(row[x] >> 8);
    }
    std::copy(displayed_palette.begin(), displayed_palette.end(), frame.palette);
    hold.lock();
    r.frame_of_slot[slot] = n;
    ++r.queued;
    r.work.notify_one();
}

}  // namespace

bool start_recording(const RecordingOutput* outputs, int count, std::int64_t skip, std::int64_t max_frames,
                     bool wait_for_room)
{
    if (recorder || count < 1 || count > max_recording_outputs)
        return false;
    recorder = new Recorder;
    for (int i = 0; i < count; ++i)
        recorder->outputs[i] = outputs[i];
    recorder->output_count = count;
    recorder->skip = skip;
    recorder->max_frames = max_frames;
    recorder->wait_for_room = wait_for_room;
    recorder->slots = std::make_unique<RecordedFrame[]>(slot_count);
    recorder->worker = std::thread(encode);
    frame_shown_hook = take_frame;
    return true;
}

bool recording_active() { return recorder != nullptr; }

bool recording_over()
{
    if (!recorder)
        return false;
    std::lock_guard<std::mutex> hold(recorder->lock);
    return recorder->failed || recorder->behind ||
           (recorder->max_frames > 0 && recorder->seen - recorder->skip >= recorder->max_frames);
}

bool recording_fell_behind()
{
    if (!recorder)
        return false;
    std::lock_guard<std::mutex> hold(recorder->lock);
    return recorder->behind;
}

bool stop_recording(std::string& error)
{
    if (!recorder)
        return true;
    frame_shown_hook = nullptr;
    {
        std::lock_guard<std::mutex> hold(recorder->lock);
        recorder->ending = true;
    }
    recorder->work.notify_one();
    recorder->worker.join();
    const bool ok = !recorder->failed;
    if (!ok)
        error = recorder->error;
    delete recorder;
    recorder = nullptr;
    return ok;
}
